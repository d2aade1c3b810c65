/* The yardstick for the game's start-up time and memory: the least an SDL2 program can do to show
 * a window of the game's client size (523 x 390) with a software surface, filled once. It writes
 * the moment of its first frame where KELVORA_READY_FILE says, exactly as the game does, then
 * waits until it is closed. */
#include <SDL.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

int main(int argc, char** argv) {
    (void)argc;
    (void)argv;
    const char* readyPath = getenv("KELVORA_READY_FILE");
    FILE* ready = readyPath != NULL && readyPath[0] != '\0' ? fopen(readyPath, "w") : NULL;

    /* The game's own setting: a plain X11 surface, never an OpenGL texture. */
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        fprintf(stderr, "minimal_sdl_window: %s\n", SDL_GetError());
        return 1;
    }
    SDL_Window* window = SDL_CreateWindow("minimal", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 523, 390, 0);
    SDL_Surface* surface = window != NULL ? SDL_GetWindowSurface(window) : NULL;
    if (surface == NULL) {
        fprintf(stderr, "minimal_sdl_window: %s\n", SDL_GetError());
        SDL_Quit();
        return 1;
    }
    SDL_FillRect(surface, NULL, SDL_MapRGB(surface->format, 0xEC, 0xEC, 0xEC));
    SDL_UpdateWindowSurface(window);

    if (ready != NULL) {
        struct timespec now;
        struct timespec cpu;
        clock_gettime(CLOCK_REALTIME, &now);
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
        fprintf(ready, "%lld.%06ld %.3f\n", (long long)now.tv_sec, now.tv_nsec / 1000,
                (double)cpu.tv_sec * 1000.0 + (double)cpu.tv_nsec / 1e6);
        fclose(ready);
    }

    SDL_Event event;
    while (SDL_WaitEvent(&event)) {
        if (event.type == SDL_QUIT) break;
        if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE) break;
    }
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}

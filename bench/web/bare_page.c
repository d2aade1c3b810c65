/* Not a benchmark: the bare Emscripten page that bench/web/measure_web.sh holds the browser game
   against. It fills a 523 x 390 canvas once with a pattern, through the same road the game's pixels
   take (a buffer in the program's memory, put on the canvas by the page), and says when it has. */
#include <emscripten.h>
#include <stdint.h>
#include <stdlib.h>

EM_JS(void, PutOnCanvas, (const uint32_t* pixels, int width, int height), {
    var canvas = document.getElementById('canvas');
    var context = canvas.getContext('2d', { alpha: false });
    var image = context.createImageData(width, height);
    var to = new Uint32Array(image.data.buffer);
    var from = HEAPU32.subarray(pixels >> 2, (pixels >> 2) + width * height);
    for (var i = 0; i < width * height; i++) to[i] = from[i] | 0xff000000;
    context.putImageData(image, 0, 0);
    window.bareFirstFrameMs = performance.now();
});

int main(void) {
    enum { kWidth = 523, kHeight = 390 };
    uint32_t* pixels = malloc(sizeof(uint32_t) * kWidth * kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) pixels[y * kWidth + x] = ((x / 40 + y / 40) % 2) ? 0x212021u : 0x000000u;
    }
    PutOnCanvas(pixels, kWidth, kHeight);
    free(pixels);
    return 0;
}

// The SDL host on a real (virtual) X display: it survives X11 errors, it tells a held key's
// repeats from presses, and it mixes clips for real on an audio device opened once the game first
// waits for input.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/host/sdl/sdl_host.h"
#include "platform/host/sdl/x11_window.h"

// Last: their macros (None, Bool, Status) clash with names in the headers above.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

namespace kelvora {
namespace {

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

// A clip of one steady 16-bit stereo level at the device's own rate, so nothing converts it.
PcmClip SteadyClip(int16_t level, int milliseconds) {
    PcmClip clip;
    clip.channels = 2;
    clip.bitsPerSample = 16;
    clip.sampleRate = 44100;
    const size_t frames = static_cast<size_t>(44100 * milliseconds / 1000);
    for (size_t i = 0; i < frames * 2; ++i) {
        clip.samples.push_back(static_cast<uint8_t>(level & 0xFF));
        clip.samples.push_back(static_cast<uint8_t>((level >> 8) & 0xFF));
    }
    return clip;
}

// Sends a message to a window that no longer exists; the server answers BadWindow.
void MessageToAClosedWindow(Display* display) {
    const Window gone = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 8, 8, 0, 0, 0);
    XDestroyWindow(display, gone);
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = gone;
    message.xclient.format = 32;
    XSendEvent(display, gone, False, NoEventMask, &message);
}

// SDL's X11 driver wakes its own event wait by a message to its newest window over a second
// connection; when the player closes that window at the same moment (Esc on the honour roll), the
// server answers BadWindow, and the display library's default handler would end the game. The
// answer may come while the game runs or only when SDL closes that connection at the end.
TEST(SdlHost, RequestToAClosedWindowLeavesTheGameRunning) {
    std::string why;
    auto host = CreateSdlHost(&why);
    ASSERT_TRUE(host) << why;

    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    MessageToAClosedWindow(display);
    XSync(display, False);  // the answer arrives while the game runs

    const HostWindowId window = host->OpenWindow(HostWindowSpec{});
    EXPECT_NE(window, 0u);
    host->CloseWindow(window);

    MessageToAClosedWindow(display);
    XFlush(display);
    host.reset();            // SDL shuts down and puts back the handler it found
    XCloseDisplay(display);  // the answer arrives only now, as the connection closes
}

// The raw key events of the server, as the host reads them before SDL's own: a held key repeats,
// also into a window the focus moves to while it is down; a key whose release reached no window
// of ours (the keyboard went with a window that closed) presses afresh next time, as the report
// of the keys held, which comes with the focus, shows.
TEST(SdlHost, HeldKeysRepeatAndAReleaseThatReachedNoWindowStillEndsThePress) {
    std::string why;
    auto host = CreateSdlHost(&why);
    ASSERT_TRUE(host) << why;
    SDL_Window* window = SDL_CreateWindow("keys", 0, 0, 8, 8, SDL_WINDOW_HIDDEN);
    ASSERT_NE(window, nullptr);
    const std::unique_ptr<X11Windows> x11 = X11Windows::Connect(window);
    ASSERT_TRUE(x11);
    auto raw = [&](const XEvent& event) {
        SDL_SysWMmsg message{};
        SDL_VERSION(&message.version);
        message.subsystem = SDL_SYSWM_X11;
        message.msg.x11.event = event;
        return x11->KeyRepeated(message);
    };
    auto key = [&](int type, unsigned int code, Time at) {
        XEvent event{};
        event.type = type;
        event.xkey.keycode = code;
        event.xkey.time = at;
        return raw(event);
    };
    auto held = [&](std::vector<unsigned int> codes) {
        XEvent event{};
        event.type = KeymapNotify;
        for (const unsigned int code : codes) event.xkeymap.key_vector[code / 8] |= static_cast<char>(1 << (code % 8));
        return raw(event);
    };
    constexpr unsigned int escape = 9;
    constexpr unsigned int space = 65;

    EXPECT_FALSE(key(KeyPress, escape, 1000));
    EXPECT_TRUE(key(KeyPress, escape, 1660));
    EXPECT_FALSE(held({escape}));  // the focus moves on with the key still down
    EXPECT_TRUE(key(KeyPress, escape, 1700));
    held({});                      // it came up while no window of ours had the keyboard
    EXPECT_FALSE(key(KeyPress, escape, 1800));
    EXPECT_FALSE(key(KeyRelease, escape, 1850));
    EXPECT_FALSE(key(KeyPress, escape, 1900));
    // A server that repeats by a release and a press at one moment.
    key(KeyRelease, escape, 2560);
    EXPECT_TRUE(key(KeyPress, escape, 2560));
    EXPECT_FALSE(key(KeyPress, space, 2570));
    SDL_DestroyWindow(window);
}

// SDL's disk driver writes what the device would play into a file: a short clip started while a
// long one plays must be heard added to it, whole, and the long one must go on alone afterwards.
TEST(SdlHost, OverlappingClipsAreMixedWithTheDeviceOpenedAtStartUp) {
    char folder[] = "/tmp/kelvora-audio-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string output = std::string(folder) + "/device.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
    {
        std::string why;
        const auto host = CreateSdlHost(&why);
        ASSERT_TRUE(host) << why;
        // Opened on a thread of its own once the game first waits for input, before any sound
        // asks for it; the disk driver creates its file as the device opens.
        EXPECT_FALSE(Exists(output)) << "the audio device was opened before the game's first wait for input";
        HostEvent event;
        host->WaitEvent(event, 0);
        for (int waited = 0; waited < 3000 && !Exists(output); waited += 10) usleep(10000);
        EXPECT_TRUE(Exists(output)) << "the audio device was not opened at start-up";
        host->PlayClip(SteadyClip(1000, 300));
        host->PlayClip(SteadyClip(2000, 100));
        host->SleepMs(700);
    }
    unsetenv("SDL_DISKAUDIOFILE");
    unsetenv("SDL_AUDIODRIVER");

    std::vector<int16_t> samples;
    if (std::FILE* file = std::fopen(output.c_str(), "rb")) {
        int16_t sample = 0;
        while (std::fread(&sample, sizeof sample, 1, file) == 1) samples.push_back(sample);
        std::fclose(file);
    }
    std::remove(output.c_str());
    rmdir(folder);

    // In stereo samples at 44.1 kHz: the long clip is 26,460 of them, the short one 8,820, heard
    // in one stretch on top of the long one.
    size_t alone = 0;
    size_t together = 0;
    size_t stretches = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        if (samples[i] == 1000) {
            ++alone;
        } else if (samples[i] == 3000) {
            if (i == 0 || samples[i - 1] != 3000) ++stretches;
            ++together;
        } else if (samples[i] != 0) {
            ADD_FAILURE() << "sample " << i << " is " << samples[i] << ", neither silence nor the clips' sum";
            break;
        }
    }
    EXPECT_EQ(together, 8820u);
    EXPECT_EQ(alone, 26460u - 8820u);
    EXPECT_EQ(stretches, 1u);
}

}  // namespace
}  // namespace kelvora

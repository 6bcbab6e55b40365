#pragma once

// SDL and its mixer, opened when the first tune plays rather than linked into the programs:
// loading them with the libraries they bring along before main() even begins made the player's
// first frame later. Functions are looked up by name once. For music.cpp and the MIDI players.

// SDL must leave the program's main() alone: Qt's entry point calls it.
#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <SDL_mixer.h>

#define TALE_SDL_FUNCTIONS(F)                                                                      \
    F(SDL_SetHint)                                                                                 \
    F(SDL_InitSubSystem)                                                                           \
    F(SDL_QuitSubSystem)                                                                           \
    F(SDL_OpenAudioDevice)                                                                         \
    F(SDL_CloseAudioDevice)                                                                        \
    F(SDL_PauseAudioDevice)                                                                        \
    F(SDL_LockAudioDevice)                                                                         \
    F(SDL_UnlockAudioDevice)                                                                       \
    F(SDL_RWFromConstMem)

#define TALE_MIXER_FUNCTIONS(F)                                                                    \
    F(Mix_Init)                                                                                    \
    F(Mix_Quit)                                                                                    \
    F(Mix_OpenAudioDevice)                                                                         \
    F(Mix_CloseAudio)                                                                              \
    F(Mix_LoadMUS)                                                                                 \
    F(Mix_LoadMUS_RW)                                                                              \
    F(Mix_FreeMusic)                                                                               \
    F(Mix_PlayMusic)                                                                               \
    F(Mix_HaltMusic)                                                                               \
    F(Mix_VolumeMusic)                                                                             \
    F(Mix_HookMusic)

#define TALE_POINTER(name) decltype(&::name) name = nullptr;

/// SDL's functions; `loaded` is false when the library or any of them is missing.
struct SdlLibrary
{
    TALE_SDL_FUNCTIONS(TALE_POINTER)
    bool loaded = true;
    SdlLibrary();
};

/// The mixer's functions, for recorded music (and, on Windows, MIDI).
struct MixerLibrary
{
    TALE_MIXER_FUNCTIONS(TALE_POINTER)
    bool loaded = true;
    MixerLibrary();
};

#undef TALE_POINTER

/// SDL, opened by the first caller (the music thread).
const SdlLibrary &sdl();
/// The mixer, opened by the first caller.
const MixerLibrary &mixer();

/// The rate the mixer's device opens at, for recorded music (44.1 kHz).
constexpr int kMixerRate = 44100;

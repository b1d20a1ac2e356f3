// assets/assets.h -- the pictures, sound and page compiled into the program.
#pragma once

#include <string>

// The bytes of a stored asset by file name ("digit0.png", "plate.png", "chime.wav",
// "info.html"); empty when there is no such asset.
std::string LoadAsset(const char* name);

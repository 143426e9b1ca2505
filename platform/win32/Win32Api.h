#pragma once

// <windows.h> as the backend includes it. The platform interfaces use plain
// names (CreateWindow, MessageBox, CreateDirectory, DeleteFile, DrawText,
// GlobalAddAtom) that the system headers turn into macros; they are undone
// here so the interfaces keep their names inside this backend too. Every file of the backend calls
// the wide-character functions by their explicit W names.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif

// <windows.h> must come first.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#undef CreateWindow
#undef CreateDirectory
#undef DeleteFile
#undef MessageBox
#undef DrawText
#undef GlobalAddAtom
#undef ChooseFont
#undef ChooseColor

#pragma once

// A small harness for checks that need the real system (run under Wine on
// Linux): no test framework is built for MinGW here.

#include <cstdint>
#include <initializer_list>
#include <string>

namespace qv::win32::check {

void Expect(bool condition, const char* what, const char* file, int line);
void Note(const std::string& text);
int Failures();

inline std::string Bytes(std::initializer_list<std::uint8_t> bytes) { return std::string(bytes.begin(), bytes.end()); }

void CheckText();
void CheckFiles();
void CheckRegistry();
void CheckWindows();
void CheckSystem(const wchar_t* selfPath);
void CheckCanvas();
void CheckShell();
void CheckInput();

// For the second-process part of CheckSystem: exit code 0 when the mutex was
// created, 1 when it already existed.
int MutexProbe(const wchar_t* name);

}  // namespace qv::win32::check

#define QV_EXPECT(condition) ::qv::win32::check::Expect((condition), #condition, __FILE__, __LINE__)

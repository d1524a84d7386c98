// Double-byte awareness for CP932 paths: lead bytes, the last backslash,
// and names compared with their ASCII letters folded.
#pragma once

#include <string>

// True for a CP932 lead byte (0x81-0x9F, 0xE0-0xFC).
bool IsLeadByte932(unsigned char byte);

// The characters in the first `length` bytes of `text`: a double-byte
// character counts once (a lead byte at the end counts as one).
unsigned CharacterCount(const char* text, unsigned length);

// The last backslash of `path` that is a character of its own (not the trail
// byte of a double-byte character), or null.
const char* FindLastBackslash(const char* path);

// An ASCII letter in upper case; other bytes as they are.
char FoldAscii(char c);

// Equality with ASCII letters folded; other bytes compare exactly.
bool EqualsIgnoreCase(const char* a, const char* b);

// The same for texts that may hold any byte.
bool SameName(const std::string& a, const std::string& b);

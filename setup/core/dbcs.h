// Double-byte awareness for CP932 paths: lead bytes and the last backslash.
#pragma once

// True for a CP932 lead byte (0x81-0x9F, 0xE0-0xFC).
bool IsLeadByte932(unsigned char byte);

// The characters in the first `length` bytes of `text`: a double-byte
// character counts once (a lead byte at the end counts as one).
unsigned CharacterCount(const char* text, unsigned length);

// The last backslash of `path` that is a character of its own (not the trail
// byte of a double-byte character), or null.
const char* FindLastBackslash(const char* path);

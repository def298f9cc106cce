#pragma once

// Whether two paths name the same existing file, however spelt: relative or
// absolute, a short name, another hard link. Judged by the file's identity
// (its volume and its index on it), not by its name; false when either cannot
// be opened.
bool IsSameFile(const char* first, const char* second);

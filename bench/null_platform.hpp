#pragma once
// The null platform's controls: the keys every read cycles through, and the bytes written.
#include <string_view>

void setNullKeys(std::string_view keys);
long long nullBytesWritten();

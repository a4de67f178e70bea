#pragma once

// The engine's entry for the web page (sumlark.mjs is its caller in a
// browser; the speed benchmark calls it natively). The request holds texts,
// each a 4-byte little-endian length and then its UTF-8 bytes: an option's
// name without "--", its value (empty for a switch), the next name, and so
// on. The reply is JSON (WebModel.h), valid until the next call.

#include <cstddef>

extern "C" {
const char* sumlark_choices();
const char* sumlark_make(const unsigned char* request, std::size_t size);
}

#pragma once
#include <cstdint>

#include "platform/platform.h"

// The platform's digests, from the system's CryptoAPI.
void* beginCryptoDigest(DigestKind kind);
bool addToCryptoDigest(void* digest, const void* data, uint32_t size);
bool endCryptoDigest(void* digest, uint8_t* out, uint32_t size);

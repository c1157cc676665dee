#include "app/crypto_digest_win32.h"

#include <windows.h>
#include <wincrypt.h>

#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace {

// CryptoAPI came with Windows 95 OSR2 and NT 4: looked up when first asked
// for, so the exe still loads on the first Windows 95, which has none.
struct CryptoApi {
    BOOL(WINAPI* acquireContext)(HCRYPTPROV*, LPCSTR, LPCSTR, DWORD, DWORD);
    BOOL(WINAPI* createHash)(HCRYPTPROV, ALG_ID, HCRYPTKEY, DWORD, HCRYPTHASH*);
    BOOL(WINAPI* hashData)(HCRYPTHASH, const BYTE*, DWORD, DWORD);
    BOOL(WINAPI* getHashParam)(HCRYPTHASH, DWORD, BYTE*, DWORD*, DWORD);
    BOOL(WINAPI* destroyHash)(HCRYPTHASH);
    BOOL(WINAPI* releaseContext)(HCRYPTPROV, DWORD);
};

template <typename Function>
bool lookUp(HMODULE module, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return function != nullptr;
}

// Null where the system lacks any of the six.
const CryptoApi* cryptoApi()
{
    static CryptoApi api;
    static int found = -1;
    if (found >= 0) return found != 0 ? &api : nullptr;
    HMODULE module = LoadLibraryA("ADVAPI32.DLL");
    found = module != nullptr && lookUp(module, "CryptAcquireContextA", api.acquireContext) &&
            lookUp(module, "CryptCreateHash", api.createHash) &&
            lookUp(module, "CryptHashData", api.hashData) &&
            lookUp(module, "CryptGetHashParam", api.getHashParam) &&
            lookUp(module, "CryptDestroyHash", api.destroyHash) &&
            lookUp(module, "CryptReleaseContext", api.releaseContext);
    return found != 0 ? &api : nullptr;
}

// Each digest hashes on a thread of its own, a chunk behind the caller: the
// three digests of a pass then take the processors side by side while the
// caller reads and takes its CRC, rather than one after another, which took
// twice as long as sha256sum over a drive. The chunk is copied first, as the
// caller reads the next into the same buffer. Where no thread can be had,
// the caller hashes each chunk itself.
struct CryptoDigest {
    HCRYPTPROV provider;
    HCRYPTHASH hash;
    HANDLE thread;
    HANDLE work;  // a chunk waits in `bytes`, or the end
    HANDLE idle;  // the thread has hashed what it was given
    uint8_t* bytes;
    uint32_t capacity;
    uint32_t size;
    bool ending;
    bool failed;  // a chunk the hash did not take: no digest comes of it
};

DWORD WINAPI hashChunks(void* parameter)
{
    CryptoDigest& digest = *static_cast<CryptoDigest*>(parameter);
    const CryptoApi& api = *cryptoApi();
    for (;;) {
        WaitForSingleObject(digest.work, INFINITE);
        if (digest.ending) return 0;
        if (!digest.failed && !api.hashData(digest.hash, digest.bytes, digest.size, 0))
            digest.failed = true;
        SetEvent(digest.idle);
    }
}

// Both events start the thread: without one the caller hashes. SHA-256
// takes about as long as MD5 and SHA-1 together, and the pass waits for the
// slowest: on two processors the other two give way to it, rather than the
// three sharing both alike.
void startThread(CryptoDigest& digest, DigestKind kind)
{
    digest.work = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    digest.idle = CreateEventA(nullptr, FALSE, TRUE, nullptr);
    DWORD id;
    if (digest.work != nullptr && digest.idle != nullptr)
        digest.thread = CreateThread(nullptr, 0, hashChunks, &digest, 0, &id);
    if (digest.thread != nullptr) {
        if (kind != DigestKind::Sha256)
            SetThreadPriority(digest.thread, THREAD_PRIORITY_BELOW_NORMAL);
        return;
    }
    if (digest.work != nullptr) CloseHandle(digest.work);
    if (digest.idle != nullptr) CloseHandle(digest.idle);
}

void stopThread(CryptoDigest& digest)
{
    if (digest.thread == nullptr) return;
    WaitForSingleObject(digest.idle, INFINITE);
    digest.ending = true;
    SetEvent(digest.work);
    WaitForSingleObject(digest.thread, INFINITE);
    CloseHandle(digest.thread);
    CloseHandle(digest.work);
    CloseHandle(digest.idle);
}

// The copy of a chunk, its room grown as needed.
bool takeChunk(CryptoDigest& digest, const void* data, uint32_t size)
{
    if (size > digest.capacity) {
        std::free(digest.bytes);
        digest.bytes = static_cast<uint8_t*>(std::malloc(size));
        digest.capacity = digest.bytes != nullptr ? size : 0;
        if (digest.bytes == nullptr) return false;
    }
    if (size > 0) std::memcpy(digest.bytes, data, size);
    digest.size = size;
    return true;
}

// A provider of `type`, by the name given (null: the system's default for
// it), with a hash of `algorithm` begun on it; false, holding nothing, where
// either is missing.
bool beginOn(const CryptoApi& api, DWORD type, const char* name, ALG_ID algorithm,
             CryptoDigest& digest)
{
    if (!api.acquireContext(&digest.provider, nullptr, name, type, CRYPT_VERIFYCONTEXT))
        return false;
    if (api.createHash(digest.provider, algorithm, 0, 0, &digest.hash)) return true;
    api.releaseContext(digest.provider, 0);
    return false;
}

// MD5 and SHA-1 are in every provider of the full RSA type. SHA-256 came
// with the AES type, whose provider Windows XP SP3 names "(Prototype)" and
// may not make the type's default.
bool beginKind(const CryptoApi& api, DigestKind kind, CryptoDigest& digest)
{
    switch (kind) {
    case DigestKind::Md5: return beginOn(api, PROV_RSA_FULL, nullptr, CALG_MD5, digest);
    case DigestKind::Sha1: return beginOn(api, PROV_RSA_FULL, nullptr, CALG_SHA1, digest);
    case DigestKind::Sha256: break;
    }
    for (const char* name : {static_cast<const char*>(nullptr), MS_ENH_RSA_AES_PROV_A,
                             MS_ENH_RSA_AES_PROV_XP_A})
        if (beginOn(api, PROV_RSA_AES, name, CALG_SHA_256, digest)) return true;
    return false;
}

}  // namespace

void* beginCryptoDigest(DigestKind kind)
{
    const CryptoApi* api = cryptoApi();
    CryptoDigest begun{};
    if (api == nullptr || !beginKind(*api, kind, begun)) return nullptr;
    // Not `new`: its library form brings the C++ runtime's threads and
    // exceptions in, whose imports Windows 95 lacks.
    auto* digest = static_cast<CryptoDigest*>(std::malloc(sizeof(CryptoDigest)));
    if (digest != nullptr) {
        *digest = begun;
        startThread(*digest, kind);
        return digest;
    }
    api->destroyHash(begun.hash);
    api->releaseContext(begun.provider, 0);
    return nullptr;
}

// Once the chunk before is hashed; a failure of it is told here, or at the end.
bool addToCryptoDigest(void* digest, const void* data, uint32_t size)
{
    CryptoDigest& own = *static_cast<CryptoDigest*>(digest);
    if (own.thread == nullptr)
        return cryptoApi()->hashData(own.hash, static_cast<const BYTE*>(data), size, 0) != FALSE;
    WaitForSingleObject(own.idle, INFINITE);
    if (own.failed || !takeChunk(own, data, size)) {
        own.failed = true;
        SetEvent(own.idle);
        return false;
    }
    SetEvent(own.work);
    return true;
}

// A digest of another size than asked for is none of the kind asked for.
bool endCryptoDigest(void* digest, uint8_t* out, uint32_t size)
{
    const CryptoApi* api = cryptoApi();
    CryptoDigest* own = static_cast<CryptoDigest*>(digest);
    stopThread(*own);
    DWORD length = size;
    bool done = out != nullptr && !own->failed &&
                api->getHashParam(own->hash, HP_HASHVAL, out, &length, 0) && length == size;
    api->destroyHash(own->hash);
    api->releaseContext(own->provider, 0);
    std::free(own->bytes);
    std::free(own);
    return done;
}

#pragma once
// The few zlib calls that reading zip packages needs.

#include <cstring>
#include <dlfcn.h>
#include <zlib.h>

// zlib is in the process already (Qt loads it); taken at run time so the build needs no more.
struct Zlib
{
    using InflateInit2 = int (*)(z_streamp, int, const char*, int);
    using Inflate = int (*)(z_streamp, int);
    using InflateEnd = int (*)(z_streamp);
    using Crc32 = uLong (*)(uLong, const Bytef*, uInt);
    InflateInit2 startInflate = nullptr;
    Inflate step = nullptr;
    InflateEnd endInflate = nullptr;
    Crc32 checksum = nullptr;

    static const Zlib& get()
    {
        static const Zlib zlib = [] {
            Zlib z;
            void* library = dlopen("libz.so.1", RTLD_NOW | RTLD_LOCAL);
            if (!library)
                return z;
            z.startInflate = reinterpret_cast<InflateInit2>(dlsym(library, "inflateInit2_"));
            z.step = reinterpret_cast<Inflate>(dlsym(library, "inflate"));
            z.endInflate = reinterpret_cast<InflateEnd>(dlsym(library, "inflateEnd"));
            z.checksum = reinterpret_cast<Crc32>(dlsym(library, "crc32"));
            return z;
        }();
        return zlib;
    }
    bool usable() const { return startInflate && step && endInflate && checksum; }

    // Starts unpacking raw deflate data, as zip entries hold it.
    bool startRawInflate(z_stream& stream) const
    {
        std::memset(&stream, 0, sizeof stream);
        return startInflate(&stream, -MAX_WBITS, ZLIB_VERSION, int(sizeof(z_stream))) == Z_OK;
    }
};

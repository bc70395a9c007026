// A stand-in for the advertising library: it serves the house banners listed in
// banners/banners.txt beside it (or in VXADS_BANNER_DIR) and never touches the
// network. VXADS_FAIL=push|mgmt|location|callbacks makes that step fail, so that the
// host's error paths can be exercised.

#define VXADS_BUILDING
#include "installpaths.h"
#include "vxads.h"

#include <dlfcn.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

enum ErrorCode {
    Ok = 0,
    BadArguments = 1,
    BadVersion = 2,
    NotInitialised = 3,
    UnknownLocation = 4,
    BadCallbacks = 5,
    Refused = 6,
    NoAd = 7,
};

// A new banner every 20 seconds at the 50 ms ticks the host gives.
constexpr int kRotateTicks = 400;
constexpr int kMaxSide = 4096;

struct Banner
{
    std::vector<unsigned char> bmz;
    std::string url;
    int width = 0;
    int height = 0;
};

struct Location
{
    int status = 0;
    bool hasCallbacks = false;
    CT_ALCallbacks callbacks{};
    int current = -1; // index of the banner shown
    int ticks = 0;
    int lastResult = -1;
    int impressions = 0;
};

struct State
{
    bool pushReady = false;
    bool mgmtReady = false;
    std::string pushError;
    std::string mgmtError;
    std::vector<Banner> banners;
    std::map<int, Location> locations;
    int nextHandle = 1;
    int nextBanner = 0;
};

State &state()
{
    static State s;
    return s;
}

bool failureRequested(const char *step)
{
    const char *fail = std::getenv("VXADS_FAIL");
    return fail && std::strcmp(fail, step) == 0;
}

std::uint32_t readLe32(const unsigned char *p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

void writeLe32(std::vector<unsigned char> &out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

// Run-length packing: a control byte n < 128 copies n + 1 literal bytes; n > 128
// repeats the next byte 257 - n times.
std::vector<unsigned char> pack(const std::vector<unsigned char> &data)
{
    std::vector<unsigned char> out;
    std::size_t i = 0;
    while (i < data.size()) {
        std::size_t run = 1;
        while (i + run < data.size() && run < 128 && data[i + run] == data[i])
            ++run;
        if (run >= 3) {
            out.push_back(static_cast<unsigned char>(257 - run));
            out.push_back(data[i]);
            i += run;
            continue;
        }
        std::size_t start = i;
        std::size_t count = 0;
        while (i < data.size() && count < 128) {
            if (i + 2 < data.size() && data[i] == data[i + 1] && data[i] == data[i + 2])
                break;
            ++i;
            ++count;
        }
        out.push_back(static_cast<unsigned char>(count - 1));
        out.insert(out.end(), data.begin() + std::ptrdiff_t(start), data.begin() + std::ptrdiff_t(start + count));
    }
    return out;
}

bool unpack(const unsigned char *in, std::size_t inSize, std::vector<unsigned char> &out, std::size_t outSize)
{
    out.clear();
    out.reserve(outSize);
    std::size_t i = 0;
    while (i < inSize && out.size() < outSize) {
        const unsigned n = in[i++];
        if (n < 128) {
            const std::size_t count = n + 1;
            if (i + count > inSize || out.size() + count > outSize)
                return false;
            out.insert(out.end(), in + i, in + i + count);
            i += count;
        } else if (n > 128) {
            const std::size_t count = 257 - n;
            if (i >= inSize || out.size() + count > outSize)
                return false;
            out.insert(out.end(), count, in[i++]);
        }
    }
    return out.size() == outSize && i == inSize;
}

// The bytes a packed bitmap with this header needs, or 0 when the header is not one
// the library can show.
std::size_t packedBitmapSize(const unsigned char *header, std::size_t available)
{
    if (available < 40 || readLe32(header) != 40)
        return 0;
    const auto width = std::int32_t(readLe32(header + 4));
    const auto height = std::int32_t(readLe32(header + 8));
    const unsigned bits = header[14] | header[15] << 8;
    const std::uint32_t compression = readLe32(header + 16);
    std::uint32_t colours = readLe32(header + 32);
    if (width <= 0 || width > kMaxSide || height == 0 || height < -kMaxSide || height > kMaxSide || compression != 0)
        return 0;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        return 0;
    if (bits <= 8) {
        if (colours == 0)
            colours = 1u << bits;
        if (colours > (1u << bits))
            return 0;
    } else {
        colours = 0;
    }
    const std::size_t stride = ((std::size_t(width) * bits + 31) / 32) * 4;
    return 40 + std::size_t(colours) * 4 + stride * std::size_t(height < 0 ? -height : height);
}

std::string libraryFolder()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void *>(&CT_PushInit), &info) == 0 || !info.dli_fname)
        return std::string();
    std::string path = info.dli_fname;
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::vector<std::string> bannerFolders()
{
    if (const char *dir = std::getenv("VXADS_BANNER_DIR"))
        return {dir};
    // Beside the library in the build tree; in an installed tree, in the shared data.
    const std::string here = libraryFolder();
    return {here + "/banners", here + "/" VENDRIX_PRIVATE_LIB_TO_DATA "/banners"};
}

bool readFile(const std::string &path, std::vector<unsigned char> &bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

// Reads banners.txt ("picture<TAB>address" per line, '#' starts a comment) and packs
// each picture. A picture that is not a bitmap is kept as it is: the host finds out
// when it unpacks it, and reports the failed display.
void loadBanners(State &s)
{
    s.banners.clear();
    for (const std::string &folder : bannerFolders()) {
        std::ifstream list(folder + "/banners.txt");
        if (!list)
            continue;
        std::string line;
        while (std::getline(list, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            const std::size_t tab = line.find('\t');
            if (line.empty() || line[0] == '#' || tab == std::string::npos)
                continue;
            std::vector<unsigned char> file;
            if (!readFile(folder + "/" + line.substr(0, tab), file))
                continue;
            std::vector<unsigned char> dib = file;
            if (file.size() > 14 && file[0] == 'B' && file[1] == 'M')
                dib.assign(file.begin() + 14, file.end());
            Banner banner;
            banner.url = line.substr(tab + 1);
            if (dib.size() >= 40) {
                banner.width = std::int32_t(readLe32(dib.data() + 4));
                banner.height = std::abs(std::int32_t(readLe32(dib.data() + 8)));
            }
            const std::vector<unsigned char> packed = pack(dib);
            banner.bmz = {'B', 'M', 'Z', '1'};
            writeLe32(banner.bmz, std::uint32_t(dib.size()));
            writeLe32(banner.bmz, std::uint32_t(packed.size()));
            banner.bmz.insert(banner.bmz.end(), packed.begin(), packed.end());
            s.banners.push_back(std::move(banner));
        }
        return;
    }
}

Location *findLocation(int handle)
{
    auto &locations = state().locations;
    const auto it = locations.find(handle);
    return it == locations.end() ? nullptr : &it->second;
}

const char *errorText(int code)
{
    switch (code) {
    case Ok: return "No error. ";
    case BadArguments: return "Invalid arguments. ";
    case BadVersion: return "Unsupported interface version. ";
    case NotInitialised: return "The advertising system is not initialised. ";
    case UnknownLocation: return "Unknown ad location. ";
    case BadCallbacks: return "The callbacks record is not valid. ";
    case Refused: return "The request was refused. ";
    case NoAd: return "No ad is shown. ";
    }
    return "Unknown error. ";
}

int checkInit(const char *application, const char *key, int version, std::string &error, const char *step)
{
    if (failureRequested(step)) {
        error = "Simulated failure.";
        return Refused;
    }
    if (!application || !*application || !key || !*key) {
        error = "The application name and key must not be empty.";
        return BadArguments;
    }
    if (version != 1) {
        error = "This library implements version 1 of the interface.";
        return BadVersion;
    }
    error.clear();
    return Ok;
}

void showNext(int handle, Location &location)
{
    State &s = state();
    if (s.banners.empty() || !location.callbacks.image)
        return;
    location.current = s.nextBanner++ % int(s.banners.size());
    location.ticks = 0;
    Banner &banner = s.banners[std::size_t(location.current)];
    location.callbacks.image(handle, 1, banner.bmz.data(), CT_IMAGE_BMZ, banner.width, banner.height, location.current, 0,
                             location.callbacks.imageContext);
}

}

extern "C" {

int CT_CALL CT_PushInit(const char *application, const char *key, int version)
{
    State &s = state();
    const int code = checkInit(application, key, version, s.pushError, "push");
    s.pushReady = code == Ok;
    return code;
}

const char *CT_CALL CT_PushGetErrorString(int code)
{
    return errorText(code);
}

const char *CT_CALL CT_PushGetLibError(void)
{
    return state().pushError.c_str();
}

int CT_CALL CT_PushShutdown(void)
{
    state().pushReady = false;
    return Ok;
}

int CT_CALL CT_MgmtInit(const char *application, const char *key, int version)
{
    State &s = state();
    if (!s.pushReady) {
        s.mgmtError = "Start the push system first.";
        return NotInitialised;
    }
    const int code = checkInit(application, key, version, s.mgmtError, "mgmt");
    s.mgmtReady = code == Ok;
    if (s.mgmtReady)
        loadBanners(s);
    return code;
}

const char *CT_CALL CT_MgmtGetErrorString(int code)
{
    return errorText(code);
}

const char *CT_CALL CT_MgmtGetLibError(void)
{
    return state().mgmtError.c_str();
}

int CT_CALL CT_MgmtShutdown(void)
{
    State &s = state();
    s.locations.clear();
    s.banners.clear();
    s.mgmtReady = false;
    return Ok;
}

int CT_CALL CT_MgmtCreateAL3(const int *ids, int idCount, unsigned char, int sizeClass, int, int)
{
    State &s = state();
    if (!s.mgmtReady) {
        s.mgmtError = "The management system is not started.";
        return -1;
    }
    if (!ids || idCount < 1 || sizeClass < 1) {
        s.mgmtError = "An ad location needs an ad space id and a size.";
        return -1;
    }
    if (failureRequested("location")) {
        s.mgmtError = "(simulated failure)";
        return -1;
    }
    const int handle = s.nextHandle++;
    s.locations[handle] = Location();
    return handle;
}

int CT_CALL CT_MgmtSetALCallbacks(int handle, const CT_ALCallbacks *callbacks)
{
    State &s = state();
    Location *location = findLocation(handle);
    if (!location)
        return UnknownLocation;
    if (!callbacks || callbacks->size < sizeof(CT_ALCallbacks)) {
        s.mgmtError = "The record is too small.";
        return BadCallbacks;
    }
    if (failureRequested("callbacks")) {
        s.mgmtError = "(simulated failure)";
        return Refused;
    }
    location->callbacks = *callbacks;
    if (!(callbacks->flags & CT_CB_IMAGE))
        location->callbacks.image = nullptr;
    if (!(callbacks->flags & CT_CB_CLICK))
        location->callbacks.click = nullptr;
    location->hasCallbacks = true;
    return Ok;
}

int CT_CALL CT_MgmtGetALStatus(int handle)
{
    const Location *location = findLocation(handle);
    return location ? location->status : -1;
}

int CT_CALL CT_MgmtSetALStatus(int handle, int status)
{
    Location *location = findLocation(handle);
    if (!location)
        return UnknownLocation;
    location->status = status;
    return Ok;
}

int CT_CALL CT_MgmtDestroyAL(int handle)
{
    return state().locations.erase(handle) ? Ok : UnknownLocation;
}

int CT_CALL CT_MgmtProgress(void)
{
    State &s = state();
    if (!s.mgmtReady)
        return NotInitialised;
    // A callback may destroy locations, so walk over a copy of the handles.
    std::vector<int> handles;
    for (const auto &entry : s.locations)
        handles.push_back(entry.first);
    for (int handle : handles) {
        Location *location = findLocation(handle);
        if (!location || !location->hasCallbacks || !(location->status & CT_AL_VISIBLE))
            continue;
        if (location->current < 0 || ++location->ticks >= kRotateTicks)
            showNext(handle, *location);
    }
    return Ok;
}

int CT_CALL CT_MgmtALClick(int handle)
{
    Location *location = findLocation(handle);
    if (!location)
        return UnknownLocation;
    if (location->current < 0 || !location->callbacks.click)
        return NoAd;
    return location->callbacks.click(2, handle, location->callbacks.clickContext);
}

int CT_CALL CT_MgmtALDisplayResult(int handle, int result)
{
    Location *location = findLocation(handle);
    if (!location)
        return UnknownLocation;
    location->lastResult = result;
    if (result == CT_DISPLAY_ALL || result == CT_DISPLAY_PART)
        ++location->impressions;
    return Ok;
}

const char *CT_CALL CT_MgmtGetAdClickThroughURL(int handle)
{
    const Location *location = findLocation(handle);
    if (!location || location->current < 0)
        return nullptr;
    const std::string &url = state().banners[std::size_t(location->current)].url;
    return url.empty() ? nullptr : url.c_str();
}

int CT_CALL CT_MgmtGetALDisplayResult(int handle)
{
    const Location *location = findLocation(handle);
    return location ? location->lastResult : -1;
}

int CT_CALL CT_MgmtGetALImpressions(int handle)
{
    const Location *location = findLocation(handle);
    return location ? location->impressions : -1;
}

void *CT_CALL CT_UtilReadBMZ(const void *image)
{
    if (!image)
        return nullptr;
    const auto *bytes = static_cast<const unsigned char *>(image);
    if (std::memcmp(bytes, "BMZ1", 4) != 0)
        return nullptr;
    const std::size_t unpackedSize = readLe32(bytes + 4);
    const std::size_t packedSize = readLe32(bytes + 8);
    if (unpackedSize < 40 || unpackedSize > 64u * 1024 * 1024)
        return nullptr;
    std::vector<unsigned char> dib;
    if (!unpack(bytes + 12, packedSize, dib, unpackedSize))
        return nullptr;
    const std::size_t needed = packedBitmapSize(dib.data(), dib.size());
    if (needed == 0 || needed > dib.size())
        return nullptr;
    void *bitmap = std::malloc(dib.size());
    if (bitmap)
        std::memcpy(bitmap, dib.data(), dib.size());
    return bitmap;
}

void CT_CALL CT_UtilFreeBMZ(void *bitmap)
{
    std::free(bitmap);
}

}

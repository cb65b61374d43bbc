// Helpers shared by the host tests: scratch program directories filled with
// copies of the fixture libraries, and a look into a loaded fixture.
#pragma once

#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "unit_api/unit_entry.h"
#include "unit_table.h"
#include "version_info.h"

namespace host_test {

namespace fs = std::filesystem;

inline fs::path FixtureDir() { return fs::path(HOST_FIXTURE_DIR); }

// A fresh directory below the system's temp dir, removed again at the end.
class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = (fs::temp_directory_path() / "capacimo-host-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~ScratchDir() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const fs::path& path() const { return path_; }
    fs::path Units() const { return path_ / "DLLs"; }
    std::string str() const { return path_.string(); }

private:
    fs::path path_;
};

// Copies fixture library `fixture` (e.g. "fx_alpha") to dir/name; returns the copy.
inline fs::path PlaceFixture(const std::string& fixture, const fs::path& dir, const std::string& name) {
    fs::create_directories(dir);
    const fs::path target = dir / name;
    fs::copy_file(FixtureDir() / (fixture + ".so"), target, fs::copy_options::overwrite_existing);
    return target;
}

inline fs::path WriteFile(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << content;
    return path;
}

inline fs::path MakeFifo(const fs::path& path) {
    fs::create_directories(path.parent_path());
    if (mkfifo(path.c_str(), 0600) != 0) throw std::runtime_error("mkfifo failed");
    return path;
}

// A bound UNIX socket; the descriptor stays open for the test's lifetime.
class SocketFile {
public:
    explicit SocketFile(const fs::path& path) {
        fd_ = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string text = path.string();
        if (fd_ < 0 || text.size() >= sizeof address.sun_path) throw std::runtime_error("socket failed");
        text.copy(address.sun_path, text.size());
        if (bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
            throw std::runtime_error("bind failed");
    }
    ~SocketFile() {
        if (fd_ >= 0) close(fd_);
    }
    SocketFile(const SocketFile&) = delete;
    SocketFile& operator=(const SocketFile&) = delete;

private:
    int fd_ = -1;
};

// Whether the library at path is mapped into this process right now.
inline bool IsLoaded(const fs::path& path) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr) return false;
    dlclose(handle);
    return true;
}

struct Calls {
    int init = -1;
    int execute = -1;
    int close = -1;
};

// A function a loaded fixture copy exports for the tests.
template <typename Fn>
Fn FixtureFunction(const capacimo::host::UnitEntry& unit, const char* name) {
    auto fn = reinterpret_cast<Fn>(unit.library->resolve(name));
    if (fn == nullptr) throw std::runtime_error("not a fixture");
    return fn;
}

// The entry-point call counts of one loaded fixture copy.
inline Calls CallsOf(const capacimo::host::UnitEntry& unit) {
    auto fn = FixtureFunction<void (*)(int*, int*, int*)>(unit, "FixtureCalls");
    if (fn == nullptr) throw std::runtime_error("not a fixture");
    Calls calls;
    fn(&calls.init, &calls.execute, &calls.close);
    return calls;
}

struct InitArguments {
    UnitWindowHandle parent = 0;
    std::int32_t reserved1 = 0;
    std::int32_t reserved2 = 0;
};

inline InitArguments LastInitOf(const capacimo::host::UnitEntry& unit) {
    auto fn = FixtureFunction<void (*)(UnitWindowHandle*, std::int32_t*, std::int32_t*)>(unit, "FixtureLastInit");
    InitArguments args;
    fn(&args.parent, &args.reserved1, &args.reserved2);
    return args;
}

// 1 InitDll, 2 ExecuteDLL, 3 CloseDll, 0 none.
inline void ThrowIn(const capacimo::host::UnitEntry& unit, int which) {
    FixtureFunction<void (*)(int)>(unit, "FixtureThrowIn")(which);
}

// Points the per-user settings store at a private directory. Call first
// thing in main, before anything reads settings.
inline std::string UsePrivateConfigHome() {
    static ScratchDir config;
    setenv("XDG_CONFIG_HOME", config.str().c_str(), 1);
    return config.str();
}

inline fs::path HostSettingsFile() { return fs::path(std::getenv("XDG_CONFIG_HOME")) / "Ostrelwerk" / "Capacimo.conf"; }

// The GUI tests run at 120 pixels per inch (the forms' design resolution)
// unless QT_FONT_DPI says otherwise; call before the application starts.
inline void DefaultToDesignResolution() {
    if (std::getenv("QT_FONT_DPI") == nullptr) setenv("QT_FONT_DPI", "120", 1);
}

// True at 120 pixels per inch; false at 96. The layout tests know both.
template <typename Widget>
bool AtDesignResolution(const Widget* widget) {
    const int dpi = widget->logicalDpiY();
    if (dpi != 120 && dpi != 96) throw std::runtime_error("layout checked at 96 or 120 pixels per inch only");
    return dpi == 120;
}

// A version block as the build makes one: the fixed version numbers and one
// string table for the US English translation.
inline capacimo::host::VersionBlock VersionBlockOf(std::uint16_t major, std::uint16_t minor, std::uint16_t release,
                                                   std::uint16_t build) {
    capacimo::host::VersionBlock block;
    block.VerInfoPresent = true;
    block.hasFixedInfo = true;
    block.fileVersionMS = (std::uint32_t{major} << 16) | minor;
    block.fileVersionLS = (std::uint32_t{release} << 16) | build;
    block.hasTranslation = true;
    block.language = 0x0409;
    block.codePage = 1252;
    block.stringTables["040904e4"] = {{"CompanyName", "Ostrelwerk"}, {"Comments", ""}};
    return block;
}

}  // namespace host_test

#include "gio_desktop_shell.h"

#include <dlfcn.h>
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include <memory>
#include <utility>

namespace tolvane {
namespace {

// GIO and the libraries it brings cost every start-up over a millisecond to load, yet the browser
// is looked up only once the window is on the screen. So GIO is opened at that first lookup.
struct Gio {
    decltype(&g_object_unref) objectUnref;
    decltype(&g_free) free;
    decltype(&g_type_check_instance_is_a) typeCheckInstanceIsA;
    decltype(&g_desktop_app_info_get_type) desktopAppInfoGetType;
    decltype(&g_desktop_app_info_get_filename) desktopAppInfoGetFilename;
    decltype(&g_desktop_app_info_new_from_filename) desktopAppInfoNewFromFilename;
    decltype(&g_app_info_get_executable) appInfoGetExecutable;
    decltype(&g_app_info_create_from_commandline) appInfoCreateFromCommandline;
    decltype(&g_app_info_launch_uris) appInfoLaunchUris;
    decltype(&g_find_program_in_path) findProgramInPath;
    decltype(&g_shell_quote) shellQuote;
    decltype(&g_file_new_for_path) fileNewForPath;
    decltype(&g_file_query_default_handler) fileQueryDefaultHandler;
};

template <typename Function>
bool resolve(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

std::unique_ptr<Gio> openGio() {
    // Never closed: GObject's types cannot be unloaded.
    void* library = dlopen("libgio-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        return nullptr;
    }
    auto gio = std::make_unique<Gio>();
    const bool complete =
        resolve(library, "g_object_unref", gio->objectUnref) &&
        resolve(library, "g_free", gio->free) &&
        resolve(library, "g_type_check_instance_is_a", gio->typeCheckInstanceIsA) &&
        resolve(library, "g_desktop_app_info_get_type", gio->desktopAppInfoGetType) &&
        resolve(library, "g_desktop_app_info_get_filename", gio->desktopAppInfoGetFilename) &&
        resolve(library, "g_desktop_app_info_new_from_filename",
                gio->desktopAppInfoNewFromFilename) &&
        resolve(library, "g_app_info_get_executable", gio->appInfoGetExecutable) &&
        resolve(library, "g_app_info_create_from_commandline", gio->appInfoCreateFromCommandline) &&
        resolve(library, "g_app_info_launch_uris", gio->appInfoLaunchUris) &&
        resolve(library, "g_find_program_in_path", gio->findProgramInPath) &&
        resolve(library, "g_shell_quote", gio->shellQuote) &&
        resolve(library, "g_file_new_for_path", gio->fileNewForPath) &&
        resolve(library, "g_file_query_default_handler", gio->fileQueryDefaultHandler);
    return complete ? std::move(gio) : nullptr;
}

// Null where GIO is not installed: then there are no file associations to follow either.
const Gio* loadedGio() {
    static const std::unique_ptr<Gio> loaded = openGio();
    return loaded.get();
}

// GIO answers yes or no; callers expect the Windows shell's codes.
constexpr std::int32_t kSucceeded = 33;
constexpr std::int32_t kFileNotFound = 2;    // ERROR_FILE_NOT_FOUND
constexpr std::int32_t kNoAssociation = 31;  // SE_ERR_NOASSOC

struct GObjectUnref {
    void operator()(gpointer object) const { loadedGio()->objectUnref(object); }
};
template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

struct GFree {
    void operator()(gpointer memory) const { loadedGio()->free(memory); }
};
using GText = std::unique_ptr<gchar, GFree>;

std::string programOf(const Gio& gio, GAppInfo* handler) {
    if (gio.typeCheckInstanceIsA(reinterpret_cast<GTypeInstance*>(handler),
                                 gio.desktopAppInfoGetType())) {
        if (const char* file =
                gio.desktopAppInfoGetFilename(reinterpret_cast<GDesktopAppInfo*>(handler))) {
            return file;
        }
    }
    const char* executable = gio.appInfoGetExecutable(handler);
    if (executable == nullptr) {
        return {};
    }
    const GText found(gio.findProgramInPath(executable));
    return found ? found.get() : executable;
}

GObjectPtr<GAppInfo> applicationFor(const Gio& gio, const std::string& program) {
    if (program.empty()) {
        return nullptr;
    }
    // A desktop file is only ever read as one: never run it as a program when it cannot be
    // loaded (its Exec names a program that is not installed, for one).
    if (program.ends_with(".desktop")) {
        GDesktopAppInfo* app = gio.desktopAppInfoNewFromFilename(program.c_str());
        return GObjectPtr<GAppInfo>(reinterpret_cast<GAppInfo*>(app));
    }
    // GIO starts programs through a helper, so a program that is not there would go unnoticed
    // once launched: look first.
    const GText executable(gio.findProgramInPath(program.c_str()));
    if (!executable) {
        return nullptr;
    }
    const GText quoted(gio.shellQuote(executable.get()));
    return GObjectPtr<GAppInfo>(gio.appInfoCreateFromCommandline(
        quoted.get(), nullptr, G_APP_INFO_CREATE_SUPPORTS_URIS, nullptr));
}

}  // namespace

DesktopShell::Lookup GioDesktopShell::findExecutable(const std::filesystem::path& file) {
    const Gio* gio = loadedGio();
    if (gio == nullptr) {
        return {kNoAssociation, {}};
    }
    const GObjectPtr<GFile> page(gio->fileNewForPath(file.c_str()));
    const GObjectPtr<GAppInfo> handler(gio->fileQueryDefaultHandler(page.get(), nullptr, nullptr));
    if (!handler) {
        return {kNoAssociation, {}};
    }
    std::string program = programOf(*gio, handler.get());
    if (program.empty()) {
        return {kNoAssociation, {}};
    }
    return {kSucceeded, std::move(program)};
}

std::int32_t GioDesktopShell::execute(std::uintptr_t /*ownerWindow*/, const std::string& program,
                                      const std::string& address) {
    const Gio* gio = loadedGio();
    if (gio == nullptr) {
        return kFileNotFound;
    }
    const GObjectPtr<GAppInfo> application = applicationFor(*gio, program);
    if (!application) {
        return kFileNotFound;
    }
    // The address goes in as the one URI, so the Exec line decides where it lands (%u, %U) and
    // which other arguments come with it.
    GList uris{const_cast<char*>(address.c_str()), nullptr, nullptr};
    return gio->appInfoLaunchUris(application.get(), &uris, nullptr, nullptr) ? kSucceeded
                                                                              : kFileNotFound;
}

std::unique_ptr<DesktopShell> makeDesktopShell() {
    return std::make_unique<GioDesktopShell>();
}

}  // namespace tolvane

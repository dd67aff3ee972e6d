#include "gio_desktop_shell.h"

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include <memory>
#include <utility>

namespace tolvane {
namespace {

// GIO answers yes or no; callers expect the Windows shell's codes.
constexpr std::int32_t kSucceeded = 33;
constexpr std::int32_t kFileNotFound = 2;    // ERROR_FILE_NOT_FOUND
constexpr std::int32_t kNoAssociation = 31;  // SE_ERR_NOASSOC

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

struct GFree {
    void operator()(gpointer memory) const { g_free(memory); }
};
using GText = std::unique_ptr<gchar, GFree>;

std::string programOf(GAppInfo* handler) {
    if (G_IS_DESKTOP_APP_INFO(handler)) {
        if (const char* file = g_desktop_app_info_get_filename(G_DESKTOP_APP_INFO(handler))) {
            return file;
        }
    }
    const char* executable = g_app_info_get_executable(handler);
    if (executable == nullptr) {
        return {};
    }
    const GText found(g_find_program_in_path(executable));
    return found ? found.get() : executable;
}

GObjectPtr<GAppInfo> applicationFor(const std::string& program) {
    if (program.empty()) {
        return nullptr;
    }
    // A desktop file is only ever read as one: never run it as a program when it cannot be
    // loaded (its Exec names a program that is not installed, for one).
    if (program.ends_with(".desktop")) {
        GDesktopAppInfo* app = g_desktop_app_info_new_from_filename(program.c_str());
        return GObjectPtr<GAppInfo>(app != nullptr ? G_APP_INFO(app) : nullptr);
    }
    // GIO starts programs through a helper, so a program that is not there would go unnoticed
    // once launched: look first.
    const GText executable(g_find_program_in_path(program.c_str()));
    if (!executable) {
        return nullptr;
    }
    const GText quoted(g_shell_quote(executable.get()));
    return GObjectPtr<GAppInfo>(g_app_info_create_from_commandline(
        quoted.get(), nullptr, G_APP_INFO_CREATE_SUPPORTS_URIS, nullptr));
}

}  // namespace

DesktopShell::Lookup GioDesktopShell::findExecutable(const std::filesystem::path& file) {
    const GObjectPtr<GFile> page(g_file_new_for_path(file.c_str()));
    const GObjectPtr<GAppInfo> handler(g_file_query_default_handler(page.get(), nullptr, nullptr));
    if (!handler) {
        return {kNoAssociation, {}};
    }
    std::string program = programOf(handler.get());
    if (program.empty()) {
        return {kNoAssociation, {}};
    }
    return {kSucceeded, std::move(program)};
}

std::int32_t GioDesktopShell::execute(std::uintptr_t /*ownerWindow*/, const std::string& program,
                                      const std::string& address) {
    const GObjectPtr<GAppInfo> application = applicationFor(program);
    if (!application) {
        return kFileNotFound;
    }
    // The address goes in as the one URI, so the Exec line decides where it lands (%u, %U) and
    // which other arguments come with it.
    GList uris{const_cast<char*>(address.c_str()), nullptr, nullptr};
    return g_app_info_launch_uris(application.get(), &uris, nullptr, nullptr) ? kSucceeded
                                                                              : kFileNotFound;
}

std::unique_ptr<DesktopShell> makeDesktopShell() {
    return std::make_unique<GioDesktopShell>();
}

}  // namespace tolvane

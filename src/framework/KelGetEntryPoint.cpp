#include <kel/framework/KelGetEntryPoint.h>

#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The directory of the framework library, where the run-time modules are
// installed beside it; empty when unknown.
std::string OwnDirectory() {
  Dl_info info;
  if (!dladdr(reinterpret_cast<void*>(&OwnDirectory), &info) || !info.dli_fname) return {};
  const std::string path = info.dli_fname;
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void* Open(const std::string& name, int flags, std::string& firstError) {
  void* handle = dlopen(name.c_str(), flags);
  if (!handle && firstError.empty()) {
    const char* message = dlerror();
    firstError = message ? message : name + ": cannot be loaded";
  }
  return handle;
}

}  // namespace

void* KelGetEntryPoint(const char* library, const char* symbol, int global) {
  if (!library || !*library) {
    std::fprintf(stderr, "KelGetEntryPoint: no library name.\n");
    return nullptr;
  }
  std::vector<std::string> names;
  if (!std::strstr(library, ".so")) names.push_back(std::string(library) + ".so");
  names.push_back(library);

  const int flags = RTLD_NOW | (global ? RTLD_GLOBAL : RTLD_LOCAL);
  std::string error;
  void* handle = nullptr;
  for (const std::string& name : names)
    if ((handle = Open(name, flags, error))) break;
  if (!handle && !std::strchr(library, '/')) {
    const std::string dir = OwnDirectory();
    if (!dir.empty())
      for (const std::string& name : names)
        if ((handle = Open(dir + name, flags, error))) break;
  }
  if (!handle) {
    std::fprintf(stderr, "KelGetEntryPoint: %s\n", error.c_str());
    return nullptr;
  }
  // The handle is never closed: the entry points answered must stay valid. A
  // library already loaded only gains a reference.
  if (!symbol) return handle;
  dlerror();
  void* entry = dlsym(handle, symbol);
  if (!entry) {
    const char* message = dlerror();
    std::fprintf(stderr, "KelGetEntryPoint: %s\n",
                 message ? message : (std::string(symbol) + ": null entry point").c_str());
  }
  return entry;
}

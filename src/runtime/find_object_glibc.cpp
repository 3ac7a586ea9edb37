#include <dlfcn.h>
#include <link.h>

// The unwinder of the C++ runtime, linked into the game, finds the unwind
// tables of the code it passes through by _dl_find_object, which glibc has
// from 2.35 on. This one, built on dl_iterate_phdr, which every glibc has,
// takes its place, so that the game starts with glibc 2.34 too (RHEL 9) and
// without loading the shared unwinder, which would slow every start. Only an
// exception thrown in the game calls it.

namespace {

struct Search {
    ElfW(Addr) address;
    dl_find_object *result;
};

// Fills in the search's result when the object holds the address: the
// address of its unwind tables' index (PT_GNU_EH_FRAME), as glibc's does.
int findObject(dl_phdr_info *info, size_t /*size*/, void *data) {
    auto &search = *static_cast<Search *>(data);
    bool holdsAddress = false;
    ElfW(Addr) unwindTables = 0;
    for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr) &segment = info->dlpi_phdr[i]; // NOLINT(*-pointer-arithmetic)
        const ElfW(Addr) start = info->dlpi_addr + segment.p_vaddr;
        if (segment.p_type == PT_LOAD) {
            holdsAddress = holdsAddress || search.address - start < segment.p_memsz;
        } else if (segment.p_type == PT_GNU_EH_FRAME) {
            unwindTables = start;
        }
    }
    if (!holdsAddress) {
        return 0;
    }
    *search.result = {};
    search.result->dlfo_eh_frame =
        reinterpret_cast<void *>(unwindTables); // NOLINT(*-reinterpret-cast,*-no-int-to-ptr)
    return 1;
}

} // namespace

// NOLINTNEXTLINE(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp)
extern "C" int _dl_find_object(void *address, dl_find_object *result) noexcept {
    Search search{reinterpret_cast<ElfW(Addr)>(address), result}; // NOLINT(*-reinterpret-cast)
    return dl_iterate_phdr(findObject, &search) != 0 ? 0 : -1;
}

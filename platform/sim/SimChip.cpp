#include "platform/sim/SimChip.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

void SimChip::AddPage(uint32_t physicalPage) {
    if (FindPage(physicalPage)) {
        return;
    }
    auto bytes = std::make_unique<PageBytes>();
    bytes->fill(0);
    pages_.push_back({physicalPage, std::move(bytes)});
}

SimChip::PageBytes* SimChip::FindPage(uint32_t address) const {
    const uint32_t base = address & ~0xFFFu;
    if (base != cachedBase_) {
        const auto it = std::find_if(pages_.begin(), pages_.end(),
                                     [base](const Page& page) { return page.base == base; });
        if (it == pages_.end()) {
            return nullptr;
        }
        cachedBase_ = base;
        cachedPage_ = it->bytes.get();
    }
    return cachedPage_;
}

uint32_t SimChip::Peek(uint32_t address, int width) const {
    const PageBytes* page = FindPage(address);
    if (!page) {
        return 0;
    }
    const uint32_t offset = address & 0xFFF;
    if (width == 4) {  // the common case, read in one go
        return WordAt(page->data(), offset);
    }
    uint32_t value = 0;
    for (int k = width - 1; k >= 0; --k) {  // little-endian, as the ARM chips run
        value = (value << 8) | (*page)[offset + static_cast<uint32_t>(k)];
    }
    return value;
}

void SimChip::Poke(uint32_t address, uint32_t value, int width) {
    PageBytes* page = FindPage(address);
    if (!page) {
        return;
    }
    const uint32_t offset = address & 0xFFF;
    for (int k = 0; k < width; ++k) {
        (*page)[offset + static_cast<uint32_t>(k)] = static_cast<uint8_t>(value >> (8 * k));
    }
}

void SimChip::GuestAccessError(const char* what, uint32_t address, int width) {
    char text[112];
    std::snprintf(text, sizeof text, "%s: %d-byte access at 0x%08X", what, width, address);
    GuestError(text);
}

uint32_t SimChip::UnknownRead(uint32_t address, int width) {
    GuestAccessError("read of an unknown register", address, width);
    return 0;
}

void SimChip::UnknownWrite(uint32_t address, int width) {
    GuestAccessError("write to an unknown register", address, width);
}

bool SimChip::NarrowAccess(uint32_t address, int width) {
    GuestAccessError("narrow access to a word register", address, width);
    return false;
}

void SimChip::WriteMask(uint32_t address, uint32_t value) {
    Poke(address, value, 4);
    maskHistory_.push_back({clock_.Now(), value});
}

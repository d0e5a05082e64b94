// Fuzz target: the network file reader, and the writer on what it read.
// Every input either fails with FileTools::Error or gives a network whose
// written text reads back into a network that writes the same text again.
//
// A file may declare sizes no machine holds. Single allocations above 64 MB
// throw std::bad_alloc here, so that such files exercise the reader's
// allocation-failure path instead of exhausting the fuzzer's memory.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <new>
#include <sstream>
#include <string>

#include "FileHandler/NetworkFile.h"
#include "NeuralNets/TBasicNetwork.h"

namespace {

const std::size_t AllocationLimit = std::size_t(64) << 20;

void* Allocate(std::size_t size) {
    if (size > AllocationLimit) throw std::bad_alloc();
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

// Null when the reader rejects text; traps when a network's text does not
// read back.
std::unique_ptr<TBasicNetwork> Read(const std::string& text, bool mustRead) {
    std::istringstream in(text);
    FileTools tools;
    try {
        return std::unique_ptr<TBasicNetwork>(ReadNetwork(tools, in, nullptr));
    } catch (const FileTools::Error&) {
        if (mustRead) __builtin_trap();
    }
    return nullptr;
}

}  // namespace

// Every form that pairs with the plain delete is replaced, so that no block
// allocated by the runtime's own operator new reaches free here.
void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // Unknown weight-list keywords are echoed on standard output: keep the
    // fuzzer's output readable.
    std::cout.setstate(std::ios::badbit);
    std::unique_ptr<TBasicNetwork> network =
        Read(std::string(reinterpret_cast<const char*>(data), size), false);
    if (network == nullptr) return 0;

    FileTools tools;
    std::ostringstream first;
    try {
        WriteNetwork(tools, first, network.get(), nullptr);
    } catch (const FileTools::Error&) {
        return 0;  // a bias layer of several neurons cannot be written
    }
    std::unique_ptr<TBasicNetwork> copy = Read(first.str(), true);
    std::ostringstream second;
    WriteNetwork(tools, second, copy.get(), nullptr);
    if (second.str() != first.str()) __builtin_trap();
    return 0;
}

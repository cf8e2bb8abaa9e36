#include "formats/ntsys_reader.h"
#include "read_all.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzReader<CNtsysReader>(data, size, IsNtsysFile);
    return 0;
}

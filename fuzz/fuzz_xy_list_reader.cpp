#include "formats/xy_list_reader.h"
#include "read_all.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzReader<CXyListReader>(data, size, IsXyListFile);
    return 0;
}

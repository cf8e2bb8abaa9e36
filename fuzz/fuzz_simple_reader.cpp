#include "formats/simple_file_reader.h"
#include "read_all.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzReader<CSimpleFileReader>(data, size, IsSimpleFile);
    return 0;
}

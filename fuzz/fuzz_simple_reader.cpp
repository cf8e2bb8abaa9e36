#include "formats/simple_file_reader.h"
#include "fuzz_input_file.h"
#include "read_all.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CFuzzInputFile input(".txt");
    FuzzReader<CSimpleFileReader>(input.Write(data, size), IsSimpleFile);
    return 0;
}

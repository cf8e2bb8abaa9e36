#include "formats/tps_reader.h"
#include "fuzz_input_file.h"
#include "read_all.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CFuzzInputFile input(".tps");
    FuzzReader<CTpsReader>(input.Write(data, size), IsTpsFile);
    return 0;
}

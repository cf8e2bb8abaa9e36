#include "formats/chain_code_reader.h"
#include "read_all.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzReader<CChainCodeReader>(data, size, IsChainCodeFile);
    return 0;
}

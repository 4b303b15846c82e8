// libFuzzer target: arbitrary bytes opened as a compound file, walked, read and modified.
#include "fuzz/storage/CfbExercise.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kelvo::cfb::ExerciseCompoundFile(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}

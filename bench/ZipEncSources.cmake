# The test-only shrink and implode encoders, which make the benchmarks' data for the
# old methods; compiled into each benchmark directly (the tests' support library
# is not built with the benchmark presets).
set(ZIPENC_DIR ${PROJECT_SOURCE_DIR}/tests/support/zipenc)
set(SETUP_BENCH_ZIPENC_SOURCES
    ${ZIPENC_DIR}/BitWriter.cpp
    ${ZIPENC_DIR}/ImplodeEncoder.cpp
    ${ZIPENC_DIR}/ShannonFanoCode.cpp
    ${ZIPENC_DIR}/ShrinkEncoder.cpp)
# GCC 12 at -O2 and above warns about a vector insertion there that is in bounds
# (known false positives of its object-size analysis); the tests build it unoptimised.
set_source_files_properties(${ZIPENC_DIR}/ShannonFanoCode.cpp PROPERTIES COMPILE_OPTIONS
                            "-Wno-array-bounds;-Wno-stringop-overread")

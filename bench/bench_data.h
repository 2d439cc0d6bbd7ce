// Input files and the GL context shared by the benchmarks: everything is
// written once per run into a private temporary directory, and one Mesa
// off-screen context serves every GL benchmark.
#ifndef BENCH_BENCH_DATA_H
#define BENCH_BENCH_DATA_H

#include <cstdint>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

// Creates the temporary directory and the OSMesa context; 1 on success.
int BenchData_Init();
// Removes every file written and the directory.
void BenchData_Cleanup();

// An uncompressed type-2 TGA of size x size pixels at 24 or 32 bits, or a
// type-3 8-bit height map, written on first use.
const std::string &BenchData_Tga(int bits_per_pixel, int size);

// The large generated model: 25 surfaces of 4,000 triangles (100,000 in
// all) over 52,275 vertices, 200 frames; written on first use.
const std::string &BenchData_LargeModel();

// The size x size height map of noise that the height-map filter, its
// floor and its peer are measured on, and their sizes (one Arg each).
std::vector<uint8_t> BenchData_HeightNoise(int size);
void BenchData_HeightMapSizes(benchmark::internal::Benchmark *b);

// A piece of the sample model made by the samples target ("lower.md3" ...).
std::string BenchData_Sample(const char *file_name);

#endif

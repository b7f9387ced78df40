// Writes a GeoTest LST direct shear file of a given number of readings: three loading cycles
// (forward, reverse, forward) of smooth load and displacement, for the benchmarks and the
// bundled example.
//
//   generate_direct_shear READINGS OUTPUT

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s READINGS OUTPUT\n", argv[0]);
        return 1;
    }
    const long long readings = std::atoll(argv[1]);
    if (readings < 3) {
        std::fprintf(stderr, "at least 3 readings\n");
        return 1;
    }
    std::FILE* out = std::fopen(argv[2], "wb");
    if (!out) {
        std::perror(argv[2]);
        return 1;
    }
    const char* header[] = {
        "              TABLE NO. 1  PROJECT INFORMATION",
        "Client:   Example Geotechnical Laboratory",
        "Project:  Benchmark Shear Box",
        "Job No:   EX-001",
        "Location: Bench",
        "Boring No: B-1",
        "Sample No: 1A",
        "Sample Depth: 10.0",
        "Sample Descr: Dense silty sand",
        "Tested By: Plovix",
        "Dia. of Shear Box        2.500 in",
        "Default specimen height used   1.000 in",
        "              TABLE NO. 6  SHEAR STAGE",
        "Sample height at start of shear stage   0.998 in",
        "Normal Pressure       1000.0 psf",
        "",
        "Data       Time      Displ    Force     Stress   Displ     Stress",
        "No.        (min)     (in)     (lbs)     (psf)    (in)      (psf)",
        "---------------------------------------------------------------",
    };
    for (const char* line : header) std::fprintf(out, "%s\r\n", line);

    const long long perCycle = readings / 3;
    const double travel = 0.25;  // inches per cycle
    double disp = 0.0;
    for (long long i = 0; i < readings; ++i) {
        const long long cycle = std::min(i / perCycle, 2LL);
        const long long k = i - cycle * perCycle;
        const long long n = cycle == 2 ? readings - 2 * perCycle : perCycle;
        const double x = static_cast<double>(k + 1) / static_cast<double>(n);  // 0..1 in cycle
        const double step = travel / static_cast<double>(n);
        disp += cycle == 1 ? -step : step;
        // Peak strength early in each cycle, then a residual plateau.
        const double peak = cycle == 0 ? 310.0 : 240.0;
        double load = peak * (1.0 - std::exp(-8.0 * x)) * (1.0 - 0.25 * x);
        load = std::round(load * 10.0) / 10.0;
        if (cycle == 1) load = -load;
        const double stress = load * 144.0 / 4.908738522;
        const double vertical = 0.002 * std::sin(3.0 * x) + 0.0001 * static_cast<double>(cycle);
        std::fprintf(out, "%7lld %9.2f %9.5f %8.1f %9.1f %9.5f %8.1f\r\n", i + 1,
                     static_cast<double>(i) * 0.05, disp, load, stress, vertical, 1000.0);
    }
    std::fprintf(out, "123456789lastline987654321\r\n");
    return std::fclose(out) == 0 ? 0 : 1;
}

#include "host/FourierTransform.h"

#include <fftw3.h>

#include <cstring>
#include <mutex>

namespace {

// FFTW's planner keeps global state: making and destroying plans take turns; running them
// does not need to.
std::mutex gPlanner;

} // namespace

std::vector<std::complex<double>> RealSpectrum(const std::vector<double>& signal) {
    const int n = int(signal.size());
    if (n == 0) {
        return {};
    }
    double* in = fftw_alloc_real(std::size_t(n));
    fftw_complex* out = fftw_alloc_complex(std::size_t(n / 2 + 1));
    fftw_plan plan;
    {
        std::lock_guard<std::mutex> hold(gPlanner);
        plan = fftw_plan_dft_r2c_1d(n, in, out, FFTW_ESTIMATE);
    }
    std::memcpy(in, signal.data(), sizeof(double) * std::size_t(n));
    fftw_execute(plan);
    std::vector<std::complex<double>> bins(std::size_t(n / 2 + 1));
    for (std::size_t k = 0; k < bins.size(); ++k) {
        bins[k] = {out[k][0], out[k][1]};
    }
    {
        std::lock_guard<std::mutex> hold(gPlanner);
        fftw_destroy_plan(plan);
    }
    fftw_free(out);
    fftw_free(in);
    return bins;
}

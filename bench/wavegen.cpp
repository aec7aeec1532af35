// wavegen: writes a wave file for benchmarks, tests and samples.
//
//   wavegen [--crlf] [--rate R] [--seed S] SAMPLES OUTFILE
//
// The five header lines, then SAMPLES data lines of one datum each in [-1, 1]:
// mostly small noise, now and then a short burst of spikes near full scale.
// The data are printed in the forms other tools write: fixed point with three
// to nine decimals (six most often), sometimes without the leading zero,
// and exponent form for values very near zero. Lines end in LF, or CR LF with
// --crlf.
//
// Everything is integer arithmetic on a generator of our own with a fixed
// seed, so the same arguments give the same bytes on every platform and
// compiler. Values are kept in billionths (1e-9) until they are printed.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int64_t FullScale = 1000000000;  // 1.0 in billionths

// SplitMix64: small, fast, and well distributed even from a seed of 0.
class SplitMix64 {
  public:
    explicit SplitMix64(uint64_t seed) : State(seed) {}
    uint64_t next() {
        uint64_t z = (State += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, n), n > 0. The modulo bias (below 2^-32 for the ranges
    // used here) does not matter for test data.
    uint64_t below(uint64_t n) { return next() % n; }
    // Uniform in [lo, hi].
    int64_t between(int64_t lo, int64_t hi) {
        return lo + static_cast<int64_t>(below(static_cast<uint64_t>(hi - lo) + 1));
    }

  private:
    uint64_t State;
};

// Output through a large buffer of our own: one fwrite per MiB.
class Output {
  public:
    explicit Output(std::FILE* file) : File(file), Used(0), Failed(false) {}
    void put(const char* text, std::size_t n) {
        if (Used + n > sizeof Buffer) flush();
        std::memcpy(Buffer + Used, text, n);
        Used += n;
    }
    void flush() {
        if (Used != 0 && std::fwrite(Buffer, 1, Used, File) != Used) Failed = true;
        Used = 0;
    }
    bool failed() const { return Failed; }

  private:
    std::FILE* File;
    std::size_t Used;
    bool Failed;
    char Buffer[1 << 20];
};

// Writes the decimal digits of v into out, returns their count.
int putDigits(uint64_t v, char* out) {
    char rev[24];
    int n = 0;
    do {
        rev[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    for (int i = 0; i < n; ++i) out[i] = rev[n - 1 - i];
    return n;
}

const uint64_t Pow10[] = {1,      10,      100,      1000,      10000,
                          100000, 1000000, 10000000, 100000000, 1000000000};

// Fixed point with the given number of decimals (1 to 9), rounded half away
// from zero. A negative value keeps its sign even when it rounds to zero, as
// printf("%.6f") does. Without the leading zero (".25") when bare is set.
int formatFixed(int64_t v, int decimals, bool bare, char* out) {
    int n = 0;
    uint64_t mag = static_cast<uint64_t>(v < 0 ? -v : v);
    if (v < 0) out[n++] = '-';
    const uint64_t unit = Pow10[9 - decimals];
    const uint64_t q = (mag + unit / 2) / unit;
    const uint64_t whole = q / Pow10[decimals];
    const uint64_t frac = q % Pow10[decimals];
    if (whole != 0 || !bare) n += putDigits(whole, out + n);
    out[n++] = '.';
    char digits[16];
    const int len = putDigits(frac, digits);
    for (int i = len; i < decimals; ++i) out[n++] = '0';
    std::memcpy(out + n, digits, static_cast<std::size_t>(len));
    return n + len;
}

// Exponent form with up to six significant digits and trailing zeros
// dropped, as printf("%g") writes values below 1e-4: "-3.75e-05".
// v is non-zero and below 1e-4 in magnitude (5 digits of billionths at most).
int formatExponent(int64_t v, char* out) {
    int n = 0;
    uint64_t mag = static_cast<uint64_t>(v < 0 ? -v : v);
    if (v < 0) out[n++] = '-';
    char digits[24];
    int len = putDigits(mag, digits);
    const int exponent = len - 1 - 9;  // value = d.ddd * 10^exponent
    while (len > 1 && digits[len - 1] == '0') --len;
    out[n++] = digits[0];
    if (len > 1) {
        out[n++] = '.';
        std::memcpy(out + n, digits + 1, static_cast<std::size_t>(len - 1));
        n += len - 1;
    }
    out[n++] = 'e';
    out[n++] = '-';
    out[n++] = static_cast<char>('0' + (-exponent) / 10);
    out[n++] = static_cast<char>('0' + (-exponent) % 10);
    return n;
}

// The signal: noise of about 0.06 standard deviation (a sum of four uniform
// draws) around a slow drift, and now and then (about once in 5000 samples) a
// burst of 1 to 12 samples between 0.85 and full scale, of either sign.
class Signal {
  public:
    explicit Signal(uint64_t seed) : Rng(seed), Drift(0), BurstLeft(0), BurstSign(1) {}
    int64_t next() {
        if (BurstLeft == 0 && Rng.below(5000) == 0) {
            BurstLeft = static_cast<int>(Rng.between(1, 12));
            BurstSign = Rng.below(2) == 0 ? 1 : -1;
        }
        if (BurstLeft > 0) {
            --BurstLeft;
            return BurstSign * Rng.between(850000000, FullScale);
        }
        Drift += Rng.between(-200000, 200000);
        if (Drift > 50000000 || Drift < -50000000) Drift /= 2;
        int64_t v = Drift;
        for (int i = 0; i < 4; ++i) v += Rng.between(-50000000, 50000000);
        return v > FullScale ? FullScale : v < -FullScale ? -FullScale : v;
    }
    // How the next datum is printed; writes it into out, returns its length.
    int format(int64_t v, char* out) {
        const uint64_t pick = Rng.below(100);
        const int64_t mag = v < 0 ? -v : v;
        if (mag != 0 && mag < 100000 && pick < 50) return formatExponent(v, out);
        if (pick < 70) return formatFixed(v, 6, false, out);
        if (pick < 80) return formatFixed(v, 4, false, out);
        if (pick < 86) return formatFixed(v, 3, false, out);
        if (pick < 91) return formatFixed(v, 5, pick < 88, out);
        if (pick < 96) return formatFixed(v, 8, false, out);
        return formatFixed(v, 9, false, out);
    }

  private:
    SplitMix64 Rng;
    int64_t Drift;
    int BurstLeft;
    int64_t BurstSign;
};

bool parseNumber(const char* text, uint64_t max, uint64_t& value) {
    if (*text < '0' || *text > '9') return false;
    errno = 0;
    char* end = nullptr;
    const unsigned long long v = std::strtoull(text, &end, 10);
    if (errno != 0 || *end != '\0' || v > max) return false;
    value = v;
    return true;
}

int usage() {
    std::fprintf(stderr,
                 "usage: wavegen [--crlf] [--rate R] [--seed S] SAMPLES OUTFILE\n"
                 "  SAMPLES  data lines to write, 0 to 4294967295\n"
                 "  --crlf   end lines with CR LF instead of LF\n"
                 "  --rate   the SAMPLERATE header value, default 44100\n"
                 "  --seed   the generator's seed, default 1\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    bool crlf = false;
    uint64_t rate = 44100;
    uint64_t seed = 1;
    const char* positional[2] = {nullptr, nullptr};
    int npositional = 0;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--crlf") == 0) {
            crlf = true;
        } else if (std::strcmp(arg, "--rate") == 0 && i + 1 < argc) {
            if (!parseNumber(argv[++i], UINT32_MAX, rate)) return usage();
        } else if (std::strcmp(arg, "--seed") == 0 && i + 1 < argc) {
            if (!parseNumber(argv[++i], UINT64_MAX, seed)) return usage();
        } else if (arg[0] == '-' && arg[1] != '\0') {
            return usage();
        } else if (npositional < 2) {
            positional[npositional++] = arg;
        } else {
            return usage();
        }
    }
    uint64_t samples = 0;
    if (npositional != 2 || !parseNumber(positional[0], UINT32_MAX, samples)) return usage();
    const char* path = positional[1];

    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "wavegen: cannot create %s: %s\n", path, std::strerror(errno));
        return 1;
    }
    static Output out(file);
    const char* eol = crlf ? "\r\n" : "\n";
    const std::size_t eolLen = crlf ? 2 : 1;

    char line[64];
    const int headerLen = std::snprintf(line, sizeof line, "SAMPLES:\t%llu%s",
                                        static_cast<unsigned long long>(samples), eol);
    out.put(line, static_cast<std::size_t>(headerLen));
    const char* fixedHeader[] = {"BITSPERSAMPLE:\t16", "CHANNELS:\t1"};
    for (const char* h : fixedHeader) {
        out.put(h, std::strlen(h));
        out.put(eol, eolLen);
    }
    const int rateLen = std::snprintf(line, sizeof line, "SAMPLERATE:\t%llu%s",
                                      static_cast<unsigned long long>(rate), eol);
    out.put(line, static_cast<std::size_t>(rateLen));
    out.put("NORMALIZED:\tTRUE", 16);
    out.put(eol, eolLen);

    Signal signal(seed);
    for (uint64_t i = 0; i < samples; ++i) {
        int n = signal.format(signal.next(), line);
        std::memcpy(line + n, eol, eolLen);
        out.put(line, static_cast<std::size_t>(n) + eolLen);
    }
    out.flush();
    const bool failed = out.failed() || std::ferror(file) != 0;
    if (std::fclose(file) != 0 || failed) {
        std::fprintf(stderr, "wavegen: writing %s failed\n", path);
        std::remove(path);
        return 1;
    }
    return 0;
}

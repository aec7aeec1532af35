// wavegen: writes a wave file for benchmarks, tests and samples.
//
//   wavegen [--crlf] [--rate R] [--seed S] [--kind KIND] SAMPLES OUTFILE
//   wavegen [--crlf] [--rate R] --from TEXT SAMPLES OUTFILE
//
// The five header lines, then SAMPLES data lines of one datum each in [-1, 1],
// of the kind KIND:
//   bursts     (the default) mostly small noise, now and then a short burst
//              of spikes near full scale, printed in the forms other tools
//              write: fixed point with three to nine decimals (six most
//              often), sometimes without the leading zero, and exponent form
//              for values very near zero;
//   uniform    noise spread evenly over the whole range, six decimals;
//   exponent   the same noise in exponent form with 19 significant digits,
//              as printf's "%.18e" writes it: "-3.523344703336752648e-01";
//   square     a square wave of +-0.8, 100 samples a period, with noise of
//              +-0.01, four decimals;
//   constant   0.5 on every line;
//   spellings  data of every size spelled in every way a datum may be:
//              0 to 17 decimals, without the leading zero, leading zeros, an
//              exponent after any of them, a leading '+', leading white
//              space, text after the number.
// --from takes the data from a sound that sox wrote as text (its .dat:
// comment lines starting with ';', among them "; Sample Rate R", then a time
// and a value per line): the value column as sox wrote it, from the start
// again where the file ends (a pipe, "-", must hold SAMPLES data). The rate
// is the file's unless --rate says otherwise. Lines end in LF, or CR LF with
// --crlf.
//
// Everything is integer arithmetic on a generator of our own with a fixed
// seed, so the same arguments give the same bytes on every platform and
// compiler. Values are kept in billionths (1e-9) until they are printed, the
// spellings' in units of 1e-17.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

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

const uint64_t Pow10[] = {1,
                          10,
                          100,
                          1000,
                          10000,
                          100000,
                          1000000,
                          10000000,
                          100000000,
                          1000000000,
                          10000000000ull,
                          100000000000ull,
                          1000000000000ull,
                          10000000000000ull,
                          100000000000000ull,
                          1000000000000000ull,
                          10000000000000000ull,
                          100000000000000000ull,
                          1000000000000000000ull,
                          10000000000000000000ull};

// v in units of 10^-scale (scale 0 to 19, |v| at most 10^18) in fixed point
// with the given number of decimals (0 to 17, at most scale), rounded half
// away from zero; the point only with decimals. A negative value keeps its
// sign even when it rounds to zero, as printf("%.6f") does. Without the
// leading zero (".25") when bare is set and there are decimals.
int formatScaled(int64_t v, int scale, int decimals, bool bare, char* out) {
    int n = 0;
    uint64_t mag = static_cast<uint64_t>(v < 0 ? -v : v);
    if (v < 0) out[n++] = '-';
    const uint64_t unit = Pow10[scale - decimals];
    const uint64_t q = (mag + unit / 2) / unit;
    const uint64_t whole = q / Pow10[decimals];
    const uint64_t frac = q % Pow10[decimals];
    if (whole != 0 || !bare || decimals == 0) n += putDigits(whole, out + n);
    if (decimals == 0) return n;
    out[n++] = '.';
    char digits[24];
    const int len = putDigits(frac, digits);
    for (int i = len; i < decimals; ++i) out[n++] = '0';
    std::memcpy(out + n, digits, static_cast<std::size_t>(len));
    return n + len;
}

// v in billionths with the given number of decimals (1 to 9).
int formatFixed(int64_t v, int decimals, bool bare, char* out) {
    return formatScaled(v, 9, decimals, bare, out);
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

// One kind of data: each call writes the next datum's text into out (room
// for 64 bytes) and returns its length.
class DataKind {
  public:
    virtual ~DataKind() = default;
    virtual int next(char* out) = 0;
};

// The default kind: the signal above in the forms other tools write.
class Bursts : public DataKind {
  public:
    explicit Bursts(uint64_t seed) : Source(seed) {}
    int next(char* out) override { return Source.format(Source.next(), out); }

  private:
    Signal Source;
};

// Noise spread evenly over [-1, 1], both ends included, six decimals.
class Uniform : public DataKind {
  public:
    explicit Uniform(uint64_t seed) : Rng(seed) {}
    int next(char* out) override {
        return formatFixed(Rng.between(-1000000, 1000000) * 1000, 6, false, out);
    }

  private:
    SplitMix64 Rng;
};

// Noise spread evenly over the whole range in exponent form with 19
// significant digits, as numerical programs write by default ("%.18e"):
// "-3.523344703336752648e-01". Magnitudes in units of 1e-19, below 1, drawn
// as their first ten digits and their last nine.
class Exponent : public DataKind {
  public:
    explicit Exponent(uint64_t seed) : Rng(seed) {}
    int next(char* out) override {
        const uint64_t mag = Rng.below(10000000000) * 1000000000 + Rng.below(1000000000);
        char digits[24];
        const int len = putDigits(mag, digits);
        int n = 0;
        if (Rng.below(2) == 0) out[n++] = '-';
        out[n++] = digits[0];
        out[n++] = '.';
        for (int i = 1; i < 19; ++i) out[n++] = i < len ? digits[i] : '0';
        const int exponent = mag == 0 ? 0 : len - 20;
        return n + std::snprintf(out + n, 8, "e%c%02d", exponent < 0 ? '-' : '+',
                                 exponent < 0 ? -exponent : exponent);
    }

  private:
    SplitMix64 Rng;
};

// A square wave of +-0.8, 100 samples a period, with noise of +-0.01 (a
// clipped recording): half of the data reach the spike height.
class Square : public DataKind {
  public:
    explicit Square(uint64_t seed) : Rng(seed), Phase(0) {}
    int next(char* out) override {
        const int64_t level = Phase < 50 ? 800000000 : -800000000;
        Phase = (Phase + 1) % 100;
        return formatFixed(level + Rng.between(-10000000, 10000000), 4, false, out);
    }

  private:
    SplitMix64 Rng;
    int Phase;
};

// 0.5 on every line: every datum reaches the spike height.
class Constant : public DataKind {
  public:
    int next(char* out) override {
        std::memcpy(out, "0.5", 3);
        return 3;
    }
};

// Data of every size in every spelling a datum may have: optional white
// space, an optional sign ('+' too), leading zeros, digits with or without
// a point (0 to 17 decimals, or none before the point), an optional exponent
// of either case, sign and width, and text after the number. Values are
// kept in units of 1e-17; an exponent e shifts the printed number by 10^-e,
// so "0.05e1" is 0.5 and "500.0E-3" too.
class Spellings : public DataKind {
  public:
    explicit Spellings(uint64_t seed) : Rng(seed) {}
    int next(char* out) override {
        int n = lead(out);
        const int64_t v = value();
        if (v < 0)
            out[n++] = '-';
        else if (chance(10))
            out[n++] = '+';
        if (chance(3)) n += putZeros(static_cast<int>(Rng.between(1, 3)), out + n);
        n += number(v < 0 ? -v : v, out + n);
        return n + trail(out + n);
    }

  private:
    static constexpr int Scale = 17;
    static constexpr int64_t One = 100000000000000000;  // 1.0 in units of 1e-17

    bool chance(uint64_t percent) { return Rng.below(100) < percent; }

    // Small data (some very near zero), middling and large ones, either sign.
    int64_t value() {
        const uint64_t pick = Rng.below(100);
        int64_t mag;
        if (pick < 40)
            mag = static_cast<int64_t>(Rng.below(Pow10[Scale - Rng.between(1, 12)]));
        else if (pick < 80)
            mag = static_cast<int64_t>(Rng.below(One / 2));
        else
            mag = Rng.between(One / 2, One);
        return Rng.below(2) == 0 ? mag : -mag;
    }

    static int putZeros(int count, char* out) {
        std::memset(out, '0', static_cast<std::size_t>(count));
        return count;
    }

    // mag (at least 0) as digits with or without a point, and an exponent.
    int number(int64_t mag, char* out) {
        const int exponent = chance(25) ? pickExponent(mag) : 0;
        const int scale = Scale + exponent;
        const int decimals = static_cast<int>(Rng.between(0, scale < 17 ? scale : 17));
        int n = formatScaled(mag, scale, decimals, decimals > 0 && chance(15), out);
        if (decimals == 0 && chance(30)) out[n++] = '.';
        if (exponent != 0 || chance(5)) n += putExponent(exponent, out + n);
        return n;
    }

    // A shift of a few places either way, or the one that leaves one digit
    // before the point.
    int pickExponent(int64_t mag) {
        if (mag == 0 || chance(50)) return static_cast<int>(Rng.between(-3, 2));
        char digits[24];
        return putDigits(static_cast<uint64_t>(mag), digits) - 1 - Scale;
    }

    int putExponent(int exponent, char* out) {
        int n = 0;
        out[n++] = chance(50) ? 'e' : 'E';
        if (exponent < 0)
            out[n++] = '-';
        else if (chance(30))
            out[n++] = '+';
        const uint64_t mag = static_cast<uint64_t>(exponent < 0 ? -exponent : exponent);
        char digits[24];
        const int len = putDigits(mag, digits);
        for (int width = static_cast<int>(Rng.between(1, 3)); width > len; --width) out[n++] = '0';
        std::memcpy(out + n, digits, static_cast<std::size_t>(len));
        return n + len;
    }

    int lead(char* out) {
        static const char* const Leads[] = {" ", "  ", "\t", " \t "};
        return chance(10) ? copy(Leads[Rng.below(4)], out) : 0;
    }

    // Text after the number, which the datum leaves aside: words, another
    // number, an 'e' or "E+" that starts no exponent, a lone point.
    int trail(char* out) {
        static const char* const Trails[] = {" x", "\tvolts", " 0.75", "x", "e",
                                             "E+", ",",       " ",     "."};
        return chance(10) ? copy(Trails[Rng.below(9)], out) : 0;
    }

    static int copy(const char* text, char* out) {
        const std::size_t len = std::strlen(text);
        std::memcpy(out, text, len);
        return static_cast<int>(len);
    }

    SplitMix64 Rng;
};

// Why the data could not be had.
struct DataFailed {
    std::string Why;
};

// The value column of sox's text, datum by datum, from the start again at the
// end of a file (not of a pipe). Rate is the "; Sample Rate" comment's, 0
// without one. Throws DataFailed when a line has no value or a pipe ends.
class SoxText : public DataKind {
  public:
    explicit SoxText(const char* path)
        : Path(path), File(std::strcmp(path, "-") == 0 ? stdin : std::fopen(path, "r")) {}
    ~SoxText() override {
        if (File != nullptr && File != stdin) std::fclose(File);
    }
    SoxText(const SoxText&) = delete;
    SoxText& operator=(const SoxText&) = delete;

    // Opens the text and reads its comments up to the first value.
    void start() {
        if (File == nullptr) fail("cannot be opened");
        if (!fetch()) fail("holds no data");
        while (Line[0] == ';') {
            unsigned long rate = 0;
            if (std::sscanf(Line, "; Sample Rate %lu", &rate) == 1) Rate = rate;
            if (!fetch()) fail("holds no data");
        }
    }
    int next(char* out) override {
        if (Pending) {
            Pending = false;
        } else if (!fetch()) {
            if (File == stdin) fail("ends before the last datum");
            std::rewind(File);
            start();
        }
        return value(out);
    }

    uint64_t Rate = 0;

  private:
    // The next line into Line; false at the end.
    bool fetch() {
        if (std::fgets(Line, sizeof Line, File) != nullptr) return true;
        if (std::ferror(File)) fail("cannot be read");
        return false;
    }
    // The second field of Line.
    int value(char* out) {
        const char* p = Line + std::strspn(Line, " \t");
        p += std::strcspn(p, " \t\r\n");
        p += std::strspn(p, " \t");
        const std::size_t len = std::strcspn(p, " \t\r\n");
        if (len == 0 || len > 40) fail("has a line without a value");
        std::memcpy(out, p, len);
        return static_cast<int>(len);
    }
    [[noreturn]] void fail(const char* what) { throw DataFailed{std::string(Path) + " " + what}; }

    const char* Path;
    std::FILE* File;
    bool Pending = true;  // Line holds the first value, not yet taken
    char Line[256] = "";
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
                 "usage: wavegen [--crlf] [--rate R] [--seed S] [--kind KIND] SAMPLES OUTFILE\n"
                 "       wavegen [--crlf] [--rate R] --from TEXT SAMPLES OUTFILE\n"
                 "  SAMPLES  data lines to write, 0 to 4294967295\n"
                 "  --crlf   end lines with CR LF instead of LF\n"
                 "  --rate   the SAMPLERATE header value, default 44100 (--from: the text's)\n"
                 "  --seed   the generator's seed, default 1\n"
                 "  --kind   bursts (default), uniform, exponent, square, constant or spellings\n"
                 "  --from   the data of a sound sox wrote as text (\"-\": standard input)\n");
    return 2;
}

// What the command line asks for.
struct ArgsS {
    bool Crlf = false;
    bool RateGiven = false;
    uint64_t Rate = 44100;
    uint64_t Seed = 1;
    const char* Kind = "bursts";
    const char* From = nullptr;
    uint64_t Samples = 0;
    const char* Path = nullptr;

    bool parse(int argc, char** argv) {
        const char* positional[2] = {nullptr, nullptr};
        int npositional = 0;
        bool kindGiven = false;
        for (int i = 1; i < argc; ++i) {
            const char* arg = argv[i];
            const bool valued = i + 1 < argc;
            if (std::strcmp(arg, "--crlf") == 0) {
                Crlf = true;
            } else if (std::strcmp(arg, "--rate") == 0 && valued) {
                if (!parseNumber(argv[++i], UINT32_MAX, Rate)) return false;
                RateGiven = true;
            } else if (std::strcmp(arg, "--seed") == 0 && valued) {
                if (!parseNumber(argv[++i], UINT64_MAX, Seed)) return false;
            } else if (std::strcmp(arg, "--kind") == 0 && valued) {
                Kind = argv[++i];
                kindGiven = true;
            } else if (std::strcmp(arg, "--from") == 0 && valued) {
                From = argv[++i];
            } else if (arg[0] == '-' && arg[1] != '\0') {
                return false;
            } else if (npositional < 2) {
                positional[npositional++] = arg;
            } else {
                return false;
            }
        }
        Path = positional[1];
        return npositional == 2 && !(kindGiven && From != nullptr) &&
               parseNumber(positional[0], UINT32_MAX, Samples);
    }
};

// The kind the arguments name; none for an unknown one.
DataKind* makeKind(const ArgsS& args) {
    const std::string kind = args.Kind;
    if (kind == "bursts") return new Bursts(args.Seed);
    if (kind == "uniform") return new Uniform(args.Seed);
    if (kind == "exponent") return new Exponent(args.Seed);
    if (kind == "square") return new Square(args.Seed);
    if (kind == "constant") return new Constant;
    if (kind == "spellings") return new Spellings(args.Seed);
    return nullptr;
}

void writeHeader(Output& out, uint64_t samples, uint64_t rate, const char* eol) {
    char line[64];
    const int headerLen = std::snprintf(line, sizeof line, "SAMPLES:\t%llu%s",
                                        static_cast<unsigned long long>(samples), eol);
    out.put(line, static_cast<std::size_t>(headerLen));
    const char* fixedHeader[] = {"BITSPERSAMPLE:\t16", "CHANNELS:\t1"};
    for (const char* h : fixedHeader) {
        out.put(h, std::strlen(h));
        out.put(eol, std::strlen(eol));
    }
    const int rateLen = std::snprintf(line, sizeof line, "SAMPLERATE:\t%llu%s",
                                      static_cast<unsigned long long>(rate), eol);
    out.put(line, static_cast<std::size_t>(rateLen));
    out.put("NORMALIZED:\tTRUE", 16);
    out.put(eol, std::strlen(eol));
}

// The whole file; false (after a message) when it could not be written.
bool writeWave(const ArgsS& args, uint64_t rate, DataKind& data) {
    std::FILE* file = std::fopen(args.Path, "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "wavegen: cannot create %s: %s\n", args.Path, std::strerror(errno));
        return false;
    }
    static Output out(file);
    const char* eol = args.Crlf ? "\r\n" : "\n";
    const std::size_t eolLen = std::strlen(eol);
    writeHeader(out, args.Samples, rate, eol);
    bool ended = false;
    char line[64];
    try {
        for (uint64_t i = 0; i < args.Samples; ++i) {
            const int n = data.next(line);
            std::memcpy(line + n, eol, eolLen);
            out.put(line, static_cast<std::size_t>(n) + eolLen);
        }
    } catch (const DataFailed& failure) {
        std::fprintf(stderr, "wavegen: %s\n", failure.Why.c_str());
        ended = true;
    }
    out.flush();
    const bool failed = ended || out.failed() || std::ferror(file) != 0;
    if (std::fclose(file) != 0 || failed) {
        if (!ended) std::fprintf(stderr, "wavegen: writing %s failed\n", args.Path);
        std::remove(args.Path);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    ArgsS args;
    if (!args.parse(argc, argv)) return usage();
    if (args.From == nullptr) {
        const std::unique_ptr<DataKind> data(makeKind(args));
        if (!data) return usage();
        return writeWave(args, args.Rate, *data) ? 0 : 1;
    }
    SoxText text(args.From);
    try {
        text.start();
    } catch (const DataFailed& failure) {
        std::fprintf(stderr, "wavegen: %s\n", failure.Why.c_str());
        return 1;
    }
    const uint64_t rate = args.RateGiven || text.Rate == 0 ? args.Rate : text.Rate;
    return writeWave(args, rate, text) ? 0 : 1;
}

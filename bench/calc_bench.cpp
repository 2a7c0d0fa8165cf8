// Benchmarks of the calculation: TextToNumber on typical field texts, side by
// side with std::from_chars and std::strtod (C locale) on the texts that these
// read to the same number, and CalculateRatio for each of the nine pairs of
// speed kinds. After the runs, a summary says whether the time targets hold:
//   CalculateRatio under 300 ns for every pair;
//   TextToNumber within twice the time of std::from_chars on plain decimals.
//
//   calc_bench [--benchmark_repetitions=5] [--benchmark_filter=REGEX] ...
// With repetitions the summary uses the median of each benchmark.

#include <benchmark/benchmark.h>

#include <array>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "calc/ratio_calculation.h"
#include "calc/speed_conversion.h"
#include "calc/text_to_number.h"

namespace {

using calc::SpeedKind;

constexpr double kRatioTargetNs = 300;
constexpr double kTextToNumberTargetFactor = 2;

// A field text as users type it, and the number it stands for.
struct FieldText {
  const char* name;
  std::string text;
  double number;
  bool standardParsersRead;  // std::from_chars and std::strtod give `number` too
  bool plainDecimal;         // digits and at most one full stop, nothing else
};

const std::array<FieldText, 8> kFieldTexts{{
    {"int_1500", "1500", 1500, true, true},
    {"long_decimal", "954.9296748407161", 954.9296748407161, true, true},
    {"small_decimal", "0.05", 0.05, true, true},
    {"blanks_inside", "  12 34 ", 1234, false, false},
    {"exponent", "1.5E3", 1500, true, false},
    {"hex_FFFF", "&HFFFF", -1, false, false},
    {"fullwidth", "３．５", 3.5, false, false},
    {"int_100", "100", 100, true, true},
}};

// One pair of speed kinds with typical valid texts; the diameter field of a
// side that is not LinearSpeed holds "Enabled", as the window leaves it.
struct RatioRow {
  const char* name;
  calc::RatioRequest request;
};

const std::array<RatioRow, 9> kRatioRows{{
    {"1_RevPerMin_RevPerMin",
     {SpeedKind::RevPerMin, SpeedKind::RevPerMin, "1500", "Enabled", "600", "Enabled"}},
    {"2_RevPerMin_RadPerSec",
     {SpeedKind::RevPerMin, SpeedKind::RadPerSec, "1500", "Enabled", "100", "Enabled"}},
    {"3_RevPerMin_LinearSpeed",
     {SpeedKind::RevPerMin, SpeedKind::LinearSpeed, "1500", "Enabled", "1", "100"}},
    {"4_RadPerSec_RevPerMin",
     {SpeedKind::RadPerSec, SpeedKind::RevPerMin, "100", "Enabled", "1500", "Enabled"}},
    {"5_RadPerSec_RadPerSec",
     {SpeedKind::RadPerSec, SpeedKind::RadPerSec, "10", "Enabled", "4", "Enabled"}},
    {"6_RadPerSec_LinearSpeed",
     {SpeedKind::RadPerSec, SpeedKind::LinearSpeed, "100", "Enabled", "1", "100"}},
    {"7_LinearSpeed_RevPerMin",
     {SpeedKind::LinearSpeed, SpeedKind::RevPerMin, "2", "100", "600", "Enabled"}},
    {"8_LinearSpeed_RadPerSec",
     {SpeedKind::LinearSpeed, SpeedKind::RadPerSec, "2", "100", "100", "Enabled"}},
    {"9_LinearSpeed_LinearSpeed",
     {SpeedKind::LinearSpeed, SpeedKind::LinearSpeed, "2", "100", "1", "100"}},
}};

double ParseWithTextToNumber(std::string_view text) { return calc::TextToNumber(text); }

std::optional<double> ParseWithFromChars(std::string_view text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// `text` must end in a NUL, as a std::string's data does.
std::optional<double> ParseWithStrtod(std::string_view text) {
  char* end = nullptr;
  const double value = std::strtod(text.data(), &end);
  if (end != text.data() + text.size()) return std::nullopt;
  return value;
}

// Times `Parse` on the row's text; first checks that it reads the row's number.
template <auto Parse>
void BenchmarkParse(benchmark::State& state, const FieldText& row) {
  if (Parse(std::string_view(row.text)) != row.number) {
    state.SkipWithError("the parser does not read the text as the expected number");
    return;
  }
  for (auto _ : state) {
    std::string_view text = row.text;
    benchmark::DoNotOptimize(text);
    benchmark::DoNotOptimize(Parse(text));
  }
}

struct Parser {
  const char* name;
  void (*benchmark)(benchmark::State&, const FieldText&);
  bool standard;  // runs only on the texts that the standard parsers read
};

constexpr std::array<Parser, 3> kParsers{{
    {"TextToNumber", BenchmarkParse<ParseWithTextToNumber>, false},
    {"from_chars", BenchmarkParse<ParseWithFromChars>, true},
    {"strtod", BenchmarkParse<ParseWithStrtod>, true},
}};

void BenchmarkCalculateRatio(benchmark::State& state, const RatioRow& row) {
  if (calc::CalculateRatio(row.request).icon != calc::MessageIcon::Information) {
    state.SkipWithError("the request does not give a Result");
    return;
  }
  for (auto _ : state) {
    const calc::RatioRequest* request = &row.request;
    benchmark::DoNotOptimize(request);
    benchmark::DoNotOptimize(calc::CalculateRatio(*request));
  }
}

std::string TextBenchmarkName(const FieldText& row, const char* parser) {
  return std::string(row.name) + "/" + parser;
}

std::string RatioBenchmarkName(const RatioRow& row) {
  return std::string("CalculateRatio/") + row.name;
}

template <typename Function>
void Register(const std::string& name, Function function) {
  benchmark::RegisterBenchmark(name.c_str(), function)->Unit(benchmark::kNanosecond);
}

// The parsers of one text one after another, so that they print side by side.
void RegisterBenchmarks() {
  for (const FieldText& row : kFieldTexts) {
    for (const Parser& parser : kParsers) {
      if (parser.standard && !row.standardParsersRead) continue;
      Register(TextBenchmarkName(row, parser.name),
               [&row, &parser](benchmark::State& s) { parser.benchmark(s, row); });
    }
  }
  for (const RatioRow& row : kRatioRows) {
    Register(RatioBenchmarkName(row),
             [&row](benchmark::State& s) { BenchmarkCalculateRatio(s, row); });
  }
}

// The console report, keeping each benchmark's CPU time per iteration in ns:
// the median when there are repetitions, the single run otherwise.
class TargetReporter : public benchmark::ConsoleReporter {
 public:
  TargetReporter() : ConsoleReporter(OO_None) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (run.run_type == Run::RT_Iteration || median) {
        cpuNs_[run.run_name.str()] = run.GetAdjustedCPUTime();
      }
    }
  }

  std::optional<double> CpuNs(const std::string& name) const {
    const auto found = cpuNs_.find(name);
    if (found == cpuNs_.end()) return std::nullopt;
    return found->second;
  }

 private:
  std::map<std::string, double> cpuNs_;
};

// How many targets were measured, and how many of them were missed.
struct TargetCount {
  int measured = 0;
  int missed = 0;
};

// Prints one line per measured target.
TargetCount PrintTargets(const TargetReporter& reporter) {
  TargetCount count;
  auto verdict = [&count](bool holds) {
    ++count.measured;
    if (!holds) ++count.missed;
    return holds ? "ok" : "MISSED";
  };
  std::printf("\nTargets (CPU time per call)\n");
  for (const RatioRow& row : kRatioRows) {
    const std::string name = RatioBenchmarkName(row);
    if (const auto ns = reporter.CpuNs(name)) {
      std::printf("  %-40s %8.1f ns  < %.0f ns     %s\n", name.c_str(), *ns, kRatioTargetNs,
                  verdict(*ns < kRatioTargetNs));
    }
  }
  for (const FieldText& row : kFieldTexts) {
    if (!row.plainDecimal) continue;
    const auto ours = reporter.CpuNs(TextBenchmarkName(row, "TextToNumber"));
    const auto standard = reporter.CpuNs(TextBenchmarkName(row, "from_chars"));
    if (ours && standard) {
      const double factor = *ours / *standard;
      std::printf("  %-40s %8.2f x   <= %.0f x from_chars %s\n",
                  TextBenchmarkName(row, "TextToNumber").c_str(), factor,
                  kTextToNumberTargetFactor, verdict(factor <= kTextToNumberTargetFactor));
    }
  }
  return count;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RegisterBenchmarks();
  TargetReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const TargetCount count = PrintTargets(reporter);
  benchmark::Shutdown();
  std::printf("%d of %d measured targets missed.\n", count.missed, count.measured);
  return 0;
}

// A seeded random run of the real quorvel.exe against the model of its behaviour (Model.h) on
// the two-monitor Wine session. Started by tools/model-run, which prepares the session and the
// run folder; see there for the command line. One line per step; on the first difference it
// prints the seed, the step, what differed and a --replay line that reruns exactly those steps.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <tuple>

#include "overlay/ReticleRaster.h"
#include "tests/windows/model/Model.h"
#include "tests/windows/model/Steps.h"
#include "tests/windows/model/World.h"

namespace {

// A retry of a failed pipeline comes 3000 ms after the failure; a step that starts with less
// than this left first waits for the retry, so that no retry falls inside a step.
constexpr std::uint64_t StepBudgetMs = 2500;
constexpr DWORD MatchTimeoutMs = 6000;

std::uint64_t randomState = 0;
std::uint64_t NextRandom() {  // splitmix64: the same numbers everywhere for a seed
    std::uint64_t z = (randomState += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::vector<std::uint8_t> reticleImage;
std::map<std::tuple<int, int, float, bool>, std::vector<std::uint16_t>> expectedFrames;

const std::vector<std::uint16_t>& ExpectedWords(int side, int referenceWidth, float scale,
                                                bool deepBlack) {
    auto key = std::make_tuple(side, referenceWidth, scale, deepBlack);
    auto found = expectedFrames.find(key);
    if (found != expectedFrames.end()) return found->second;
    std::vector<std::uint16_t> words(static_cast<std::size_t>(side) * side * 4);
    RasterizeReticle(reticleImage.data(), side, referenceWidth, scale, deepBlack, words.data());
    return expectedFrames[key] = words;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// What differs between the model's prediction and what the program shows; empty if nothing.
std::string Differences(World& world, const Model& m, bool withFrame) {
    const Observation seen = Observe(world);
    const GameView game = ViewGame(world);
    std::ostringstream out;
    if (seen.running != m.running)
        out << "  program running: expected " << m.running << ", seen " << seen.running << "\n";
    if (m.running && seen.running) {
        const std::wstring title = L"Quorvel | " + ExpectedStatus(m);
        if (seen.title != title)
            out << "  title: expected \"" << Narrow(title) << "\", seen \"" << Narrow(seen.title) << "\"\n";
        const ReticleExpectation r = ExpectedReticle(m, game);
        if (seen.visible != r.visible)
            out << "  reticle visible: expected " << r.visible << ", seen " << seen.visible << "\n";
        else if (r.visible && (seen.rect.left != r.left || seen.rect.top != r.top ||
                               seen.rect.right - seen.rect.left != r.side ||
                               seen.rect.bottom - seen.rect.top != r.side))
            out << "  reticle: expected " << r.side << "x" << r.side << " at (" << r.left << ","
                << r.top << "), seen " << seen.rect.right - seen.rect.left << "x"
                << seen.rect.bottom - seen.rect.top << " at (" << seen.rect.left << ","
                << seen.rect.top << ")\n";
    }
    if (seen.builds != m.builds)
        out << "  pipeline builds: expected " << m.builds << ", seen " << seen.builds << "\n";
    if (seen.uploads != m.uploads)
        out << "  image uploads: expected " << m.uploads << ", seen " << seen.uploads << "\n";
    if (seen.stored != m.stored)
        out << "  stored \"Black\": expected " << m.stored << ", seen " << seen.stored << "\n";
    if (withFrame && m.running && out.tellp() == 0) {
        const std::vector<std::uint16_t> words = LatestFrameWords(world);
        if (!m.hasFrame && !words.empty())
            out << "  a frame was committed where none was expected\n";
        if (m.hasFrame &&
            words != ExpectedWords(m.frameSide, m.frameReferenceWidth, m.frameScale, m.frameDeepBlack))
            out << "  last frame: expected " << m.frameSide << "x" << m.frameSide << " at scale "
                << m.frameScale << (m.frameDeepBlack ? " in Deep Black" : " in Rainbow")
                << ", seen " << words.size() / 4 << " pixels that differ\n";
    }
    return out.str();
}

// Waits for the program to show what the model predicts (a poll may be needed first), lets it
// handle everything posted to it, and compares once more, the last frame included.
std::string AwaitModel(World& world, const Model& m) {
    WaitUntil([&] { return Differences(world, m, false).empty(); }, MatchTimeoutMs);
    if (!Synchronise(world)) return "  the program stopped handling its messages\n";
    return Differences(world, m, true);
}

void StepEnded(Model& m) {
    if (m.failed && m.retryHi == ~0ull) m.retryHi = GetTickCount64() + 3000;
}

std::string Summary(const Model& m, const GameView& game) {
    std::ostringstream out;
    if (!m.running) return "not running";
    out << Narrow(ExpectedStatus(m));
    const ReticleExpectation r = ExpectedReticle(m, game);
    if (r.visible)
        out << ", reticle " << r.side << "x" << r.side << " at (" << r.left << "," << r.top << ")";
    else
        out << ", reticle hidden";
    out << ", builds " << m.builds << ", uploads " << m.uploads;
    return out.str();
}

// Lets a due retry of a failed pipeline happen before the next step: with the game in front the
// poll rebuilds on its own, which the run waits for and checks as a step of its own; otherwise
// the run waits until the retry time has certainly passed, so the next refresh rebuilds.
std::string SettleRetries(World& world, Model& m, bool force, int index) {
    for (;;) {
        if (!m.running || !m.failed) return "";
        const std::uint64_t now = GetTickCount64();
        if (!force && !m.retryDue && now + StepBudgetMs < m.retryLo) return "";
        force = false;
        const bool background = m.gameActive && !m.hidden;
        if (!background) {
            WaitUntil([&] { return GetTickCount64() >= m.retryHi + 20; }, 10000);
            m.retryDue = true;
            return "";
        }
        std::uint64_t before = GetTickCount64();
        const bool rebuilt = WaitUntil([&] {
            if (Observe(world).builds > m.builds) return true;
            before = GetTickCount64();
            return false;
        }, static_cast<DWORD>((m.retryHi > now ? m.retryHi - now : 0) + 3000));
        if (!rebuilt) return "  the retry of the failed pipeline did not come\n";
        if (!Synchronise(world)) return "  the program stopped handling its messages\n";
        m.retryDue = true;
        ModelRefresh(m, ViewGame(world), false, before);
        const std::string differences = Differences(world, m, true);
        StepEnded(m);
        std::printf("%5d.r %-22s %s\n", index, "(poll retries)", Summary(m, ViewGame(world)).c_str());
        std::fflush(stdout);
        if (!differences.empty()) return differences;
    }
}

// What a step ended with, counted for the closing line, so a run shows what it went through.
void NoteCoverage(const Model& before, const Model& after, const Step& step, const GameView& game,
                  std::map<std::string, int>& coverage) {
    if (!after.running) return;
    const ReticleExpectation r = ExpectedReticle(after, game);
    const std::string status = Narrow(ExpectedStatus(after));
    if (r.visible)
        ++coverage[status + " shown " + std::to_string(r.side) + "x" + std::to_string(r.side) +
                   " on DISPLAY" + std::to_string(after.builtMonitor + 1)];
    else
        ++coverage[status + ", reticle hidden"];
    if (after.builds > before.builds && before.builtMonitor != NoMonitor &&
        after.builtMonitor != before.builtMonitor)
        ++coverage["rebuilt for the other monitor"];
    if (step.kind == StepKind::Burst && after.builds > before.builds)
        ++coverage["rebuilt after a display change"];
    if (after.failed && !before.failed) ++coverage["a build or upload failed"];
    if (before.failed && !after.failed && after.running) ++coverage["recovered from a failure"];
}

struct Options {
    std::wstring exe, game, source, shownExe;
    unsigned long long seed = 1;
    int steps = 150;
    double minutes = 0;
    std::vector<Step> replay;
    bool replaying = false;
};

bool ParseOptions(int argc, wchar_t** argv, Options& options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::wstring name = argv[i], value = argv[i + 1];
        if (name == L"--exe") options.exe = value;
        else if (name == L"--game") options.game = value;
        else if (name == L"--source") options.source = value;
        else if (name == L"--shown-exe") options.shownExe = value;
        else if (name == L"--seed") options.seed = std::wcstoull(value.c_str(), nullptr, 10);
        else if (name == L"--steps") options.steps = _wtoi(value.c_str());
        else if (name == L"--minutes") options.minutes = _wtof(value.c_str());
        else if (name == L"--replay") {
            options.replaying = true;
            std::istringstream tokens(Narrow(value));
            for (std::string token; tokens >> token;) {
                Step step;
                if (!ParseStep(token, step)) {
                    std::printf("model-run: not a step: %s\n", token.c_str());
                    return false;
                }
                options.replay.push_back(step);
            }
        } else {
            std::printf("model-run: unknown option %ls\n", name.c_str());
            return false;
        }
    }
    return !options.exe.empty() && !options.game.empty() && !options.source.empty();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::printf("usage: model_run --exe QUORVEL --game GAME --source DIR [--seed N] "
                    "[--steps K] [--minutes M] [--replay \"STEP ...\"]\n");
        return 2;
    }
    std::string layout;
    const bool twoMonitors = CheckTwoMonitors(layout);
    std::printf("model-run: %s\n", layout.c_str());
    if (!twoMonitors) {
        std::printf("model-run: this session does not have the two monitors the run needs\n");
        return 2;
    }
    std::ifstream image(std::filesystem::path(options.source + L"\\resources\\reticle.rgba"),
                        std::ios::binary);
    reticleImage.assign(std::istreambuf_iterator<char>(image), std::istreambuf_iterator<char>());
    if (reticleImage.size() != 256 * 256 * 4) {
        std::printf("model-run: no reticle image in the source tree\n");
        return 2;
    }

    World world;
    world.paths = {options.exe, options.game, options.source};
    PrepareWorld(world);
    randomState = options.seed;
    const int total = options.replaying ? static_cast<int>(options.replay.size())
                                        : options.minutes > 0 ? 1 << 30 : options.steps;
    if (options.replaying)
        std::printf("model-run: replaying %d steps\n", total);
    else if (options.minutes > 0)
        std::printf("model-run: seed %llu, %.1f minutes\n", options.seed, options.minutes);
    else
        std::printf("model-run: seed %llu, %d steps\n", options.seed, total);
    std::fflush(stdout);

    Model m;
    std::vector<Step> done;
    std::map<std::string, int> mix, coverage;
    const ULONGLONG started = GetTickCount64();
    std::string differences;
    bool waitForRetry = false;
    bool inRetry = false;  // the difference came while waiting for a retry after the last step
    for (int index = 1; index <= total + 1; ++index) {
        const bool timeUp =
            index > total ||
            (options.minutes > 0 && GetTickCount64() - started >= options.minutes * 60000);
        // After the last step only a retry that was asked for is waited for.
        if (!timeUp || waitForRetry) differences = SettleRetries(world, m, waitForRetry, index - 1);
        inRetry = !differences.empty();
        if (inRetry || timeUp) break;
        const Step step = options.replaying ? options.replay[index - 1]
                                            : ChooseStep(m, ViewGame(world), NextRandom);
        done.push_back(step);
        const std::string token = StepToken(step);
        ++mix[token.substr(0, token.find(':'))];
        const Model before = m;
        PerformStep(world, m, step, GetTickCount64());
        waitForRetry = step.kind == StepKind::WaitRetry;
        if (!world.precondition.empty())
            differences = "  precondition: " + world.precondition + "\n";
        else
            differences = AwaitModel(world, m);
        StepEnded(m);
        NoteCoverage(before, m, step, ViewGame(world), coverage);
        std::printf("%5d %-24s %s\n", index, token.c_str(), Summary(m, ViewGame(world)).c_str());
        std::fflush(stdout);
        if (!differences.empty()) break;
    }

    EndWorld(world);
    std::printf("model-run: %zu steps in %llu s; mix:", done.size(),
                (GetTickCount64() - started) / 1000);
    for (const auto& [kind, count] : mix) std::printf(" %s %d", kind.c_str(), count);
    std::printf("\n");
    std::printf("model-run: steps that ended with");
    for (const auto& [what, count] : coverage) std::printf(" | %s: %d", what.c_str(), count);
    std::printf("\n");
    if (differences.empty()) {
        std::printf("model-run: every step matched the model\n");
        return 0;
    }
    const std::string origin =
        options.replaying ? std::string("replay") : "seed " + std::to_string(options.seed);
    std::printf("model-run: %s: %s %zu (%s) differs from the model:\n%s", origin.c_str(),
                inRetry ? "the poll's retry after step" : "step", done.size(),
                done.empty() ? "before the first" : StepToken(done.back()).c_str(),
                differences.c_str());
    if (inRetry) done.push_back(Step{StepKind::WaitRetry, 0, 0});
    std::string tokens;
    for (const Step& step : done) {
        if (!tokens.empty()) tokens += ' ';
        tokens.append(StepToken(step));
    }
    std::printf("replay: tools/model-run --exe %ls --replay \"%s\"\n",
                (options.shownExe.empty() ? options.exe : options.shownExe).c_str(), tokens.c_str());
    return 1;
}

#include "ntbackup/Marks.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "ntbackup/Text.h"

namespace kelvaro::ntbackup {

namespace fs = std::filesystem;

std::string Marks::path(char drive, const char* suffix) const { return folder_ + "/" + std::string(1, drive) + suffix; }

std::optional<std::string> Marks::snapshot(char drive, const std::string& driveFolder) const {
    std::ifstream in(path(drive, ".folder"), std::ios::binary);
    std::string recorded;
    if (!std::getline(in, recorded) || unescapeLine(recorded) != driveFolder) return std::nullopt;
    const std::string snar = path(drive, ".snar");
    std::error_code ec;
    if (!fs::is_regular_file(snar, ec)) return std::nullopt;
    return snar;
}

std::optional<MarkChain> Marks::chain(char drive, const std::string& driveFolder) const {
    if (!snapshot(drive, driveFolder)) return std::nullopt;
    std::ifstream in(path(drive, ".chain"), std::ios::binary);
    std::string word;
    MarkChain c;
    if (!(in >> word >> c.tape) || word != "tape" || !(in >> word) || word != "sets") return std::nullopt;
    for (int k; in >> k;) c.sets.push_back(k);
    if (!in.eof() || c.sets.empty()) return std::nullopt;
    return c;
}

std::string Marks::set(char drive, const std::string& driveFolder, const std::string& snapshotFile,
                       const MarkChain& chain) const {
    std::error_code ec;
    fs::create_directories(folder_, ec);
    const std::string snar = path(drive, ".snar"), folderFile = path(drive, ".folder"), chainFile = path(drive, ".chain");
    // The chain goes first: a chain without its new snapshot only makes the next run take more.
    {
        std::ofstream out(chainFile + ".new", std::ios::binary | std::ios::trunc);
        out << "tape " << chain.tape << " sets";
        for (int k : chain.sets) out << " " << k;
        out << "\n";
        out.flush();
        if (!out) ec = std::make_error_code(std::errc::io_error);
    }
    if (!ec) fs::rename(chainFile + ".new", chainFile, ec);
    // The run's snapshot is moved beside the mark (it is not needed after), copied only
    // where it cannot be moved; then renamed into place. Over many files it is megabytes.
    if (!ec) {
        fs::rename(snapshotFile, snar + ".new", ec);
        if (ec) {
            ec.clear();
            fs::copy_file(snapshotFile, snar + ".new", fs::copy_options::overwrite_existing, ec);
        }
    }
    if (!ec) {
        std::ofstream out(folderFile + ".new", std::ios::binary | std::ios::trunc);
        out << escapeLine(driveFolder) << "\n";
        out.flush();
        if (!out) ec = std::make_error_code(std::errc::io_error);
    }
    if (!ec) fs::rename(folderFile + ".new", folderFile, ec);
    if (!ec) fs::rename(snar + ".new", snar, ec);
    return ec ? "The mark of drive " + std::string(1, drive) + ": cannot be set in " + folder_ + ": " + ec.message() : "";
}

}  // namespace kelvaro::ntbackup

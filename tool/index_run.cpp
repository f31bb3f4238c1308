#include "tool/index_run.h"

#include <sys/stat.h>

#include <cstdlib>
#include <vector>

#include "tool/index_merge.h"

namespace vorline {

std::string scratch_folder(const Settings& settings) {
    if (settings.temporary_folder) return *settings.temporary_folder;
    if (settings.write_index) {
        const std::string& target = *settings.write_index;
        const std::size_t slash = target.rfind('/');
        if (slash == std::string::npos) return ".";
        return slash == 0 ? "/" : target.substr(0, slash);
    }
    const char* tmpdir = std::getenv("TMPDIR");
    return tmpdir != nullptr && *tmpdir != '\0' ? tmpdir : "/tmp";
}

int index_file_problem(const IndexFileError& error, std::ostream& out) {
    out << "Problem with index file " << error.file_name() << ": " << error.what() << std::endl;
    return failure_status;
}

int open_index_files(Settings& settings, IndexFileSet& indexes, std::ostream& out) {
    for (const std::string& name : settings.index_files) {
        out << "reading " << name << " ..." << std::endl;
        auto file = std::make_unique<IndexFile>();
        try {
            file->open(name);
            const std::uint32_t depth = file->header().depth;
            if (!indexes.files().empty() && depth != indexes.files().front()->header().depth)
                file->fail("depth " + std::to_string(depth) + ", not " +
                           std::to_string(indexes.files().front()->header().depth) +
                           " as the index before it");
            // A negative -d counts as a very large depth, as when games are read.
            const auto asked = static_cast<std::uint32_t>(settings.depth);
            if (settings.depth_given && asked != depth)
                file->fail("depth " + std::to_string(depth) + ", not " + std::to_string(asked) +
                           " as -d asks");
        } catch (const IndexFileError& error) {
            return index_file_problem(error, out);
        }
        indexes.add(std::move(file));
    }
    settings.depth = static_cast<std::int32_t>(indexes.files().front()->header().depth);
    return 0;
}

int check_index_target(const Settings& settings, std::ostream& out) {
    struct stat status;
    const std::string& target = *settings.write_index;
    if (stat(target.c_str(), &status) != 0) return 0;
    const FileIdentity identity{static_cast<std::uint64_t>(status.st_dev),
                                static_cast<std::uint64_t>(status.st_ino)};
    for (const RunInput* input : {&settings.pgn, &settings.epd})
        if (!input->name.empty() && identity == input->identity)
            return file_error("Output file is an input file: ", target, out);
    return 0;
}

IndexSummary games_summary(const Settings& settings, std::uint64_t root_key,
                           const RunCounters& counters, std::uint64_t input_bytes) {
    IndexSummary summary;
    summary.depth = static_cast<std::uint32_t>(settings.depth);
    summary.root_key = root_key;
    summary.games = counters;
    summary.input_bytes = input_bytes;
    summary.input_name = settings.pgn.name;
    return summary;
}

std::unique_ptr<IndexFile> merge_into_file(const IndexFileSet& merged, const IndexSummary& summary,
                                           bool sum_inputs, const std::string& scratch,
                                           WrittenFile& target) {
    std::vector<const IndexFile*> inputs;
    for (const std::unique_ptr<IndexFile>& file : merged.files()) inputs.push_back(file.get());
    merge_index_files(inputs, summary, sum_inputs, scratch, target);
    target.finish_writing();
    auto file = std::make_unique<IndexFile>();
    file->open(target.name(), target.descriptor());
    return file;
}

}  // namespace vorline

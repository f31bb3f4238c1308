#include "tool/run_record.h"

#include <ostream>
#include <string>

#include "io/output_file.h"
#include "tool/command_line.h"
#include "tool/json_writer.h"
#include "tool/version.h"

namespace vorline {

namespace {

std::optional<InputRecord> input_record(const RunInput& input) {
    if (input.name.empty()) return std::nullopt;
    InputRecord record{input.name, input.file_size, std::nullopt};
    if (input.compression) record.compression = std::string(compression_name(*input.compression));
    return record;
}

void write_input(JsonWriter& json, const std::optional<InputRecord>& input) {
    if (!input) return json.null();
    json.begin_object();
    json.key("name").value(input->name);
    json.key("size").value(input->size);
    json.key("compression").value(input->compression);
    json.end_object();
}

void write_output(JsonWriter& json, const std::optional<OutputRecord>& output,
                  const RunRecord& record) {
    if (!output) return json.null();
    const bool finished = record.outcome == "finished";
    json.begin_object();
    json.key("name").value(output->name);
    json.key("created").value(output->created);
    json.key("bytes_before").value(output->bytes_before);
    json.key("games_before").value(output->games_before);
    // A run that does not finish leaves the file as it was.
    const std::uint64_t added = finished ? output->games_added : 0;
    json.key("games_added").value(added);
    if (output->games_before)
        json.key("games_after").value(*output->games_before + added);
    else
        json.key("games_after").null();
    json.end_object();
}

}  // namespace

void RunRecord::take_settings(const Settings& settings) {
    pgn = input_record(settings.pgn);
    epd = input_record(settings.epd);
    depth = settings.depth;
}

std::string report_json(const RunRecord& record) {
    JsonWriter json;
    json.begin_object();
    json.key("version").value(version_text());
    json.key("arguments").begin_array();
    for (const std::string& argument : record.arguments) json.value(argument);
    json.end_array();
    json.key("pgn");
    write_input(json, record.pgn);
    json.key("epd");
    write_input(json, record.epd);
    json.key("depth").value(record.depth);
    if (record.threads)
        json.key("threads").value(std::uint64_t{*record.threads});
    else
        json.key("threads").null();

    const RunCounters& counts = record.counters;
    const auto count = [&](const char* name, std::uint64_t value) {
        if (record.phases_ran)
            json.key(name).value(value);
        else
            json.key(name).null();
    };
    count("games_read", counts.games_read);
    count("games_skipped_for_fen", counts.games_skipped_for_fen);
    count("games_stopped_at_bad_move", counts.games_stopped_early);
    count("positions_indexed", record.positions);
    count("lines_found", counts.lines_found);
    count("lines_not_found", counts.lines_not_found);
    json.key("found_by_half_moves");
    if (record.phases_ran) {
        json.begin_array();
        for (const std::uint64_t n : counts.found_by_half_moves) json.value(n);
        json.end_array();
    } else {
        json.null();
    }
    count("lines_unreadable", counts.lines_unreadable);
    count("lines_beyond_depth", counts.lines_beyond_depth);
    if (record.phases_ran && counts.lines_beyond_depth > 0)
        json.key("depth_covering_them").value(counts.depth_covering_all);
    else
        json.key("depth_covering_them").null();

    json.key("output");
    write_output(json, record.output, record);
    json.key("failed_epd").value(record.failed_epd);
    json.key("seconds").value(record.seconds);
    json.key("outcome").value(record.outcome);
    json.key("reason").value(record.reason);
    json.key("exit_status").value(record.exit_status);
    json.key("hints").begin_array();
    for (const std::string& hint : record.hints) json.value(hint);
    json.end_array();
    json.end_object();
    return json.text();
}

int write_report(Settings& settings, RunRecord& record, int status, double seconds,
                 std::ostream& out, std::ostream& err) {
    // The report takes its target's place: never an input's.
    if (const std::optional<FileIdentity> target = settings.report.target_identity()) {
        for (const RunInput* input : {&settings.pgn, &settings.epd}) {
            if (!input->name.empty() && *target == input->identity) {
                const std::string message =
                    "Output file is an input file: " + settings.report.name();
                if (settings.failure != message) out << message << std::endl;
                settings.report.discard();
                return status != 0 ? status : failure_status;
            }
        }
    }
    record.take_settings(settings);
    record.seconds = seconds;
    record.exit_status = status & 0xFF;
    if (status != 0 && record.outcome != "interrupted") record.outcome = settings.failure;
    if (!settings.failure_reason.empty()) record.reason = settings.failure_reason;
    try {
        settings.report.commit(report_json(record), err);
    } catch (const OutputError& error) {
        file_error("Error while writing ", error.file_name(), out);
        return status != 0 ? status : failure_status;
    }
    return status;
}

}  // namespace vorline

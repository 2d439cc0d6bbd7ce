#include "anim_config.h"

#include <cmath>

const char *const anim_names[anim_count] = {
    "BOTH_DEATH1",   "BOTH_DEAD1",   "BOTH_DEATH2",  "BOTH_DEAD2",   "BOTH_DEATH3", "BOTH_DEAD3",
    "TORSO_GESTURE", "TORSO_ATTACK", "TORSO_ATTACK2", "TORSO_DROP",  "TORSO_RAISE", "TORSO_STAND",
    "TORSO_STAND2",  "LEGS_WALKCR",  "LEGS_WALK",    "LEGS_RUN",     "LEGS_BACK",   "LEGS_SWIM",
    "LEGS_JUMP",     "LEGS_LAND",    "LEGS_JUMPB",   "LEGS_LANDB",   "LEGS_IDLE",   "LEGS_IDLECR",
    "LEGS_TURN"};

namespace {

const int values_per_row = 4;

int is_number_start(const std::string &token) {
    char c = token[0];
    return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.';
}

// Reads the keyword's arguments, on its own line; 0 after a fault.
int read_keyword(TextScan *scan, const std::string &keyword, AnimConfig *config, char *reason) {
    int line = scan->line;
    std::string value;
    if (TextScan_Equal(keyword.c_str(), "fixedlegs")) {
        config->fixed_legs = 1;
    } else if (TextScan_Equal(keyword.c_str(), "fixedtorso")) {
        config->fixed_torso = 1;
    } else if (TextScan_Equal(keyword.c_str(), "sex")) {
        if (!TextScan_Token(scan, 0, &value))
            return TextFaults_Add(&config->faults, reason, "line %d: sex without a value", line);
        char sex = value[0] >= 'A' && value[0] <= 'Z' ? char(value[0] - 'A' + 'a') : value[0];
        if (value.size() != 1 || (sex != 'm' && sex != 'f' && sex != 'n'))
            return TextFaults_Add(&config->faults, reason, "line %d: sex %.32s is not m, f or n", line,
                                  value.c_str());
        config->sex = sex;
    } else if (TextScan_Equal(keyword.c_str(), "headoffset")) {
        double offset[3];
        for (double &coordinate : offset)
            if (!TextScan_Token(scan, 0, &value) || !TextScan_Number(value, &coordinate) ||
                std::fabs(coordinate) > anim_max_frames)
                return TextFaults_Add(&config->faults, reason, "line %d: headoffset wants three numbers, not %.32s",
                                      line, value.empty() ? "fewer" : value.c_str());
        for (int i = 0; i < 3; ++i)
            config->head_offset[i] = offset[i];
    } else if (TextScan_Equal(keyword.c_str(), "footsteps")) {
        if (!TextScan_Token(scan, 0, &value))
            return TextFaults_Add(&config->faults, reason, "line %d: footsteps without a name", line);
        if (value.size() > game_text_max_name)
            return TextFaults_Add(&config->faults, reason, "line %d: footsteps name over %u bytes", line,
                                  unsigned(game_text_max_name));
        config->footsteps = value;
    } else {
        return TextFaults_Add(&config->faults, reason, "line %d: unknown keyword %.32s", line, keyword.c_str());
    }
    return 1;
}

}  // namespace

int Anim_Find(const char *name) {
    for (int id = 0; id < anim_count; ++id)
        if (TextScan_Equal(anim_names[id], name))
            return id;
    return -1;
}

int AnimConfig_Parse(const char *text, size_t size, AnimConfig *config, char *reason) {
    *config = AnimConfig();
    config->sex = 'm';
    if (reason)
        reason[0] = 0;
    if (size > game_text_max_bytes)
        return TextFaults_Add(&config->faults, reason, "animation config of %llu bytes is over the limit of %u",
                              static_cast<unsigned long long>(size), unsigned(game_text_max_bytes));
    TextScan scan;
    TextScan_Start(&scan, text, size);
    std::string token;
    int row_good[anim_count] = {};
    int rows_seen = 0;
    while (TextScan_Token(&scan, 1, &token)) {
        if (!is_number_start(token)) {
            if (rows_seen > 0) {
                TextFaults_Add(&config->faults, reason, "line %d: %.32s where row %d's first frame belongs",
                               scan.line, token.c_str(), rows_seen + 1);
                TextScan_SkipLine(&scan);
            } else if (!read_keyword(&scan, token, config, reason)) {
                TextScan_SkipLine(&scan);
            }
            continue;
        }
        // A row: four numbers, taken across line ends as they come.
        int line = scan.line;
        long values[values_per_row];
        int good = 1;
        for (int i = 0; i < values_per_row && good; ++i) {
            if (i > 0 && !TextScan_Token(&scan, 1, &token)) {
                TextFaults_Add(&config->faults, reason, "line %d: the text ends inside row %d", line, rows_seen + 1);
                good = 0;
            } else if (!TextScan_Integer(token, i == 3 ? anim_max_fps : anim_max_frames, &values[i]) ||
                       (i < 3 && values[i] < 0)) {
                TextFaults_Add(&config->faults, reason, "line %d: %.32s is not a %s in row %d", scan.line,
                               token.c_str(), i == 3 ? "rate in frames per second" : "frame number or count",
                               rows_seen + 1);
                good = 0;
                TextScan_SkipLine(&scan);
            }
        }
        if (rows_seen < anim_count && good) {
            AnimRow &row = config->rows[rows_seen];
            row.first = int(values[0]);
            row.count = int(values[1]);
            row.looping = int(values[2]);
            row.fps = int(values[3]);
            row_good[rows_seen] = 1;
        }
        ++rows_seen;
    }
    if (scan.unterminated_comment)
        TextFaults_Add(&config->faults, reason, "line %d: comment not closed", scan.unterminated_comment);
    config->rows_read = rows_seen < anim_count ? rows_seen : anim_count;
    if (rows_seen < anim_count)
        TextFaults_Add(&config->faults, reason, "%d rows of %d: %s to LEGS_TURN hold frame 0", rows_seen, anim_count,
                       anim_names[rows_seen]);
    if (row_good[ANIM_LEGS_WALKCR] && row_good[ANIM_TORSO_GESTURE]) {
        int lowered_by = config->rows[ANIM_LEGS_WALKCR].first - config->rows[ANIM_TORSO_GESTURE].first;
        for (int id = ANIM_LEGS_WALKCR; id < anim_count; ++id) {
            if (!row_good[id])
                continue;
            AnimRow &row = config->rows[id];
            // LEGS_WALKCR before TORSO_GESTURE raises the rows instead, and
            // never past the largest frame taken.
            if (row.first - lowered_by < 0 || row.first - lowered_by > anim_max_frames) {
                TextFaults_Add(&config->faults, reason, "%s: first frame %d lowered by %d is outside 0 to %ld",
                               anim_names[id], row.first, lowered_by, anim_max_frames);
                row = AnimRow();
            } else {
                row.first -= lowered_by;
            }
        }
    } else if (rows_seen > ANIM_LEGS_WALKCR) {
        TextFaults_Add(&config->faults, reason, "the legs' rows are not lowered: %s or %s is at fault",
                       anim_names[ANIM_TORSO_GESTURE], anim_names[ANIM_LEGS_WALKCR]);
    }
    return config->faults.list.empty() && config->faults.more == 0;
}

AnimFrame Anim_FrameAt(const AnimRow *row, double seconds) {
    AnimFrame shown = {row->first, row->first, 0.0};
    const double n = row->count, rate = row->fps;
    if (row->count <= 0 || row->fps <= 0)
        return shown;
    // Negative, infinite and NaN times count as 0.
    double p = (seconds > 0 && std::isfinite(seconds) ? seconds : 0) * rate;
    int looping = row->looping < row->count ? row->looping : row->count;
    if (looping < 0)
        looping = 0;
    double position = p;
    if (p >= n) {
        if (looping == 0) {
            shown.frame = shown.next = row->first + row->count - 1;
            return shown;
        }
        // Both operands are non-negative here (p >= n >= n - L >= 0, L > 0),
        // so fmod gives the plain remainder in [0, L).
        const double loop_start = n - looping;
        position = loop_start + std::fmod(p - loop_start, double(looping));
    }
    double whole = std::floor(position);
    // A time so large that p lost its fraction still lands inside the row.
    if (whole > n - 1)
        whole = n - 1;
    shown.frame = row->first + int(whole);
    shown.fraction = position - whole;
    if (shown.fraction < 0 || shown.fraction >= 1)
        shown.fraction = 0;
    if (int(whole) == row->count - 1)
        shown.next = looping > 0 ? row->first + row->count - looping : shown.frame;
    else
        shown.next = shown.frame + 1;
    return shown;
}

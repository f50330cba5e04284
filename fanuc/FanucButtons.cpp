#include "fanuc/FanucButtons.h"

#include "platform/NumberText.h"

namespace orv::fanuc {

namespace {
constexpr uint32_t W = WhiteText;
} // namespace

const std::vector<TButtType> &Fanuc21Buttons()
{
    static const std::vector<TButtType> table = {
        {20, 7, "AUTO", "", 0, 0, 3},         {60, 7, "EDIT", "", 0, 0, 39},
        {100, 7, "MDI", "", 0, 0, 0},         {180, 7, "HOME", "", 0, 0, 2},
        {220, 7, "JOG", "", 0, 0, 1},         {260, 7, "INC", "JOG", 0, 0, 12},
        {300, 7, "MPG", "", 0, 0, 999},       {340, 7, "", "", 0, 0, 999},
        {380, 7, "TEACH", "", 0, 0, 999},     {420, 7, "OFSET", "MESUR", 0, 0, 999},
        {20, 47, "SINGL", "BLOCK", 0, 0, 26}, {60, 47, "BLOCK", "DELET", 0, 0, 27},
        {100, 47, "OPT", "STOP", 0, 0, 999},  {180, 47, "LOW", "X1", 0, 0, 34},
        {220, 47, "MEDL", "X10", 0, 0, 35},   {260, 47, "MED", "X100", 0, 0, 36},
        {380, 47, "+Z", "", 1, 0, 6},         {420, 47, "+Y", "", 1, 0, 40},
        {20, 87, "DRY", "RUN", 0, 0, 999},    {60, 87, "PRG", "TEST", 0, 0, 999},
        {100, 87, "AXIS", "INHIBT", 0, 0, 999}, {180, 87, "MEDH", "X1K", 0, 0, 37},
        {220, 87, "HIGH", "", 0, 0, 38},      {260, 87, "", "", 0, 0, 999},
        {340, 87, "-X", "", 1, 0, 5},         {380, 87, "TRVRS", "", 0, 0, 999},
        {420, 87, "+X", "", 1, 0, 4},         {20, 127, "", "", 0, 0, 999},
        {60, 127, "", "", 0, 0, 999},         {100, 127, "", "", 0, 0, 999},
        {180, 127, "SPDL", "DEC", 0, 0, 11},  {220, 127, "SPDL", "100%", 0, 0, 999},
        {260, 127, "SPDL", "INC", 0, 0, 10},  {340, 127, "-Y", "", 1, 0, 41},
        {380, 127, "-Z", "", 1, 0, 7},        {20, 167, "CYCLE", "START", 1, 0, 21},
        {60, 167, "CYCLE", "STOP", 2, W, 22}, {100, 167, "CYCLE", "PAUSE", 0, 0, 23},
        {180, 167, "SPDL", "CW", 1, 0, 24},   {220, 167, "SPDL", "STOP", 2, W, 13},
        {260, 167, "SPDL", "CCW", 0, 0, 25},  {340, 167, "CLNT", "ON", 1, 0, 15},
        {380, 167, "CLNT", "OFF", 2, W, 16},  {420, 167, "CLNT", "AUTO", 0, 0, 999},
    };
    return table;
}

// The 0M's first 16 buttons are the 21's; its axis buttons carry white
// text, and it adds the fourth axis.
const std::vector<TButtType> &FanucOMButtons()
{
    static const std::vector<TButtType> table = [] {
        std::vector<TButtType> rows(Fanuc21Buttons().begin(), Fanuc21Buttons().begin() + 16);
        const std::vector<TButtType> rest = {
            {340, 47, "+Z", "", 1, W, 6},         {380, 47, "+Y", "", 1, W, 40},
            {420, 47, "-4", "", 1, W, 46},        {20, 87, "DRY", "RUN", 0, 0, 999},
            {60, 87, "PRG", "TEST", 0, 0, 999},   {100, 87, "AXIS", "INHIBT", 0, 0, 999},
            {180, 87, "MEDH", "X1K", 0, 0, 37},   {220, 87, "HIGH", "", 0, 0, 38},
            {260, 87, "", "", 0, 0, 999},         {340, 87, "+X", "", 1, W, 4},
            {380, 87, "TRVRS", "", 0, 0, 999},    {420, 87, "-X", "", 1, W, 5},
            {20, 127, "", "", 0, 0, 999},         {60, 127, "", "", 0, 0, 999},
            {100, 127, "", "", 0, 0, 999},        {180, 127, "SPDL", "DEC", 0, 0, 11},
            {220, 127, "SPDL", "100%", 0, 0, 999}, {260, 127, "SPDL", "INC", 0, 0, 10},
            {340, 127, "+4", "", 1, W, 45},       {380, 127, "-Y", "", 1, W, 41},
            {420, 127, "-Z", "", 1, W, 7},        {20, 167, "CYCLE", "START", 3, W, 21},
            {60, 167, "CYCLE", "STOP", 2, W, 22}, {100, 167, "CYCLE", "PAUSE", 0, 0, 23},
            {180, 167, "SPDL", "CW", 0, 0, 24},   {220, 167, "SPDL", "STOP", 2, W, 13},
            {260, 167, "SPDL", "CCW", 0, 0, 25},  {340, 167, "CLNT", "ON", 0, 0, 15},
            {380, 167, "CLNT", "OFF", 2, W, 16},  {420, 167, "CLNT", "AUTO", 0, 0, 999},
        };
        rows.insert(rows.end(), rest.begin(), rest.end());
        return rows;
    }();
    return table;
}

const TLedRows Fanuc21Leds = {0, 1, 2, 3, 4, 5, 10, 11, {13, 14, 15, 21, 22}, 26, 17, 16, 35, 36};
const TLedRows FanucOMLeds = {0, 1, 2, 3, 4, 5, 10, 11, {13, 14, 15, 22, 23}, 25, 17, 16, 37, 38};

int FindButton(const std::vector<TButtType> &Table, const std::string &Text1,
               const std::string &Text2)
{
    for (int i = 0; i < int(Table.size()); ++i)
        if (SameText(Table[i].Text1, Text1) && (Text2.empty() || SameText(Table[i].Text2, Text2)))
            return i;
    return -1;
}

} // namespace orv::fanuc

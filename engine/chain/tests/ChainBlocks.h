#pragma once
// Hand-made blocks for driving one stage of the chain alone: the modal state
// the engine starts a run with, and the few writes a parsed line leaves in
// the record (values with their present flags).

#include "engine/core/data_types.h"

#include <initializer_list>
#include <utility>

namespace orv::test {

// The engine's modal state at the start of a run (metric, G17, G90, G94,
// G40, G49, G80, G50, G54, G69, G15, no mirror).
inline TCNC_Groups StartBlock()
{
    TCNC_Groups G;
    for (int &Group : G.Groups)
        Group = -1;
    const std::pair<int, int> Modal[] = {
        {0, -1000}, {1, 0},   {2, 17},   {3, 90},  {4, 22},  {5, 94},  {6, 21},  {7, 40},
        {8, 49},    {9, 80},  {10, 98},  {11, 50}, {12, 67}, {13, 97}, {14, 54}, {15, 64},
        {16, 69},   {17, 15}, {19, 150}, {20, 67}, {22, 0},  {23, 0},  {24, 0}};
    for (auto [Group, Value] : Modal)
        G.Groups[Group] = Value;
    G.Groups[gBlockDelete] = 0;
    G.LineNumber = 1;
    G.InputPosition = 0;
    return G;
}

// A new line: present flags cleared, non-modal group and block delete 0.
inline void NewLine(TCNC_Groups &G, int LineNumber = 0)
{
    for (bool &Set : G.GroupSet)
        Set = false;
    for (bool &Set : G.WordSet)
        Set = false;
    G.Groups[gNonModal] = 0;
    G.Groups[gBlockDelete] = 0;
    G.RestOfLine.clear();
    if (LineNumber > 0)
        G.LineNumber = LineNumber;
}

// A G code into its modal group, as the parser files it.
inline void SetG(TCNC_Groups &G, int Group, int Code)
{
    G.Groups[Group] = Code;
    G.GroupSet[Group] = true;
    G.Words[wG] = Code;
    G.WordSet[wG] = true;
}

inline void SetWord(TCNC_Groups &G, int Word, Extended Value)
{
    G.Words[Word] = Value;
    G.WordSet[Word] = true;
}

inline void SetWords(TCNC_Groups &G, std::initializer_list<std::pair<int, Extended>> Words)
{
    for (auto [Word, Value] : Words)
        SetWord(G, Word, Value);
}

inline void SetM(TCNC_Groups &G, int Code)
{
    G.Groups[gMCode] = Code;
    G.GroupSet[gMCode] = true;
    SetWord(G, wM, Code);
}

inline void SetKeyword(TCNC_Groups &G, int Index)
{
    G.Groups[gKeyword] = Index;
    G.GroupSet[gKeyword] = true;
}

} // namespace orv::test

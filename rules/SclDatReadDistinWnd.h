// Window paths: the text syntax of rule headers and of the SendTo and
// ScrollBar values, compiled into path codes that the engine interprets.
//
// Path code encoding (one string, elements in path order):
//   element  = letter [ "-" subkind ] [ argument ]
//   argument = '"' text-with-each-'"'-doubled '"'
// Only the letters "C" (class name), "T" (window text) and "X" (process
// image name), which always have a sub-kind, and "Y" (Style), which has
// none, carry an argument.
//
//   I-P I-R I-G  any bar (SB_CTL, SB_HORZ, SB_VERT): pos >= 0, max >= 0, page != 0
//   I-p I-r I-g  SB_CTL only;  i-P i-R i-G  SB_HORZ;  i-p i-r i-g  SB_VERT
//   Y"list"      Style: GWL_STYLE passes at least one name (MatchStyle)
//   C-Q C-I C-L C-R   class exact / contains / begins / ends, case-sensitive
//   C-q C-i C-l C-r   the same ignoring ASCII case
//   C-E C-e           class matches an ECMAScript regular expression
//                     (std::regex, searched anywhere in the name in linear
//                     time; "e" ignores case). Compile the argument through
//                     TRegexCache; an argument that cannot be used never
//                     matches (the reader has reported it already).
//   T-Q ... T-e       the same on the window text
//   X-Q X-q X-E X-e   Process, ProcessI, ProcessRe, ProcessReI: the file
//                     name part of the owning process's image path (such
//                     as "notepad.exe"), exact or by expression, as above;
//                     a process that cannot be opened never matches
//   h h-l h-r h-t h-b h-P h-p   Child, ChildLeft/Right/Top/Bottom, ChildPointed, ChildSmall
//   H H-l ... H-p                the Childs forms (self, then all descendants)
//   p Parent   P Parents   o Toplevel   O Toplevels
//   W-p Pointed   W-s SendTo   W-B HScrollBar   W-b VScrollBar
// Class names and texts are compared on at most 255 characters.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "rules/ReadContext.h"

namespace flicko {

// One decoded element of a path code.
struct TPathElement {
    char Letter = 0;
    char SubKind = 0;  // 0 when the element has none
    bool HasArg = false;
    std::string Arg;   // unquoted
};

// Decodes the element at pos and moves pos past it; false at the end of the
// code. A truncated argument runs to the end of the code.
bool NextPathElement(std::string_view code, std::size_t& pos, TPathElement& element);

// The element name of a code ("ClassI" for C-q), or empty when unknown.
std::string PathElementName(char letter, char subKind);

// The elements of one path. The engine resolves the rest of a path once per
// candidate of every Child, Childs, Parents and Toplevels element, one level
// deeper each time, so the length of a path is the depth of that recursion.
constexpr int kMaxPathElements = 32;

// Compiles a window path; reports bad elements and unnecessary arguments
// through context and raises EDatReadError for an argument without ")".
// Elements past kMaxPathElements are reported and left out. ClassRe/TextRe
// expressions are checked, and compiled into context.Regexes when it is set.
std::string CompileWindowPath(std::string_view text, TReadContext& context);

// Element names joined by ".", arguments unquoted in parentheses; the else
// rule's path is "Else"; an unknown letter is shown followed by "?".
std::string PathToText(std::string_view code);

// True when the code holds the element letter-subKind (arguments are
// skipped, so an argument that happens to spell a code does not count).
bool PathHasElement(std::string_view code, char letter, char subKind);

}  // namespace flicko

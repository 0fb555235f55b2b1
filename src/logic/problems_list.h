// The Problems window's list: what the last recall's readers found wrong, line by line,
// shown after the recall or again on request.
#pragma once

// After a recall: the window lists the problems found, shown without taking the focus, or is
// closed when there were none.
void ShowRecallProblems();
// Shows the last list again (Ctrl+l), taking the focus.
void ShowLastProblems();

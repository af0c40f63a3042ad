#include "ui/main/index_shift.h"

std::vector<int> CountFlaggedBelow(const std::vector<char>& flagged)
{
    std::vector<int> below(flagged.size() + 1, 0);
    int count = 0;
    for (std::size_t i = 0; i < flagged.size(); ++i) {
        below[i] = count;
        if (flagged[i])
            ++count;
    }
    below[flagged.size()] = count;
    return below;
}

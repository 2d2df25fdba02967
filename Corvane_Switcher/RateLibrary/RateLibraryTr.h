#pragma once

#include <QCoreApplication>

// One translation context for every text of the Rate Library window.
namespace RateLibraryText {
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(RateLibrary)
};
} // namespace RateLibraryText

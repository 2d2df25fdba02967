#pragma once

#include "PlatformServices.h"

// The save and open panels as Qt's file dialogs.
class QtFilePanels final : public FilePanels {
public:
    std::optional<ExportChoice> chooseRateLibraryExport(const QString &suggestedName) override;
    std::optional<QString> chooseRateLibraryImport() override;
    std::optional<QString> chooseCsvDestination(const QString &suggestedName) override;
};

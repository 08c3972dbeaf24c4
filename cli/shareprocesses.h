#pragma once
// The other shares of a workbook's sheet files, each written by a process of this program with an
// office of its own (split-sheets --share K/N), which answers with its share as JSON.

#include "tools/shared/sheetfilesjob.h"
#include "tools/shared/sheetshares.h"

#include <QProcess>
#include <memory>
#include <vector>

class ShareProcesses : public OtherShares
{
public:
    explicit ShareProcesses(const SheetFilesRequest& request);
    ~ShareProcesses() override;

    void start(int shares) override;
    QList<SheetShare> collect() override;

private:
    SheetFilesRequest request;
    std::vector<std::unique_ptr<QProcess>> processes;
};

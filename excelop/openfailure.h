#pragma once
// Why the office gave no workbook for a file, in words a user understands, found from the file
// itself (the office only says that the load failed).

#include <QString>

// 文件不存在 / 没有读取权限 / 文件有密码保护 / 不是电子表格文件 / 文件已损坏
QString whyWorkbookDidNotOpen(const QString& path);

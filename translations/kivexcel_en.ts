<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>Backup</name>
    <message>
        <source>没能在%1旁边保留原文件的备份（文件夹可能不能写入或磁盘已满），为了不丢失原文件，处理结果没有保存。</source>
        <translation>Could not keep a backup of the original beside %1 (the folder may not be writable, or the disk is full). To keep the original safe, the results were not saved.</translation>
    </message>
</context>
<context>
    <name>CombineTables</name>
    <message>
        <source>按标题对齐（标题不同的列按标题文字对齐）</source>
        <translation>Align by title (columns whose titles differ are matched by title text)</translation>
    </message>
    <message>
        <source>合并工作簿时同名的表合并为一个表（第一列为来源文件）</source>
        <translation>When combining workbooks, stack sheets of the same name into one (first column: the source file)</translation>
    </message>
    <message>
        <source>保存前在旁边保留原文件的备份</source>
        <translation>Keep a backup of the original beside it before saving</translation>
    </message>
    <message>
        <source>保留引用其他表的公式（引用会错位或指向原文件）</source>
        <translation>Keep formulas that refer to other sheets (their references shift or point to the source file)</translation>
    </message>
    <message>
        <source>请选择要合并的工作簿</source>
        <translation>Choose the workbooks to combine</translation>
    </message>
    <message>
        <source>电子表格文件 (*.xls *.xlsx *.ods)</source>
        <translation>Spreadsheet files (*.xls *.xlsx *.ods)</translation>
    </message>
    <message>
        <source>合并后的新工作簿</source>
        <translation>The new combined workbook</translation>
    </message>
    <message>
        <source>请至少选择两个要合并的Sheet表。文件没有改动。</source>
        <translation>Choose at least two sheets to combine. The file was not changed.</translation>
    </message>
    <message>
        <source>KivExcel工具箱：合并多个表/工作簿</source>
        <translation>KivExcel Toolbox: Combine sheets/workbooks</translation>
    </message>
    <message>
        <source>功能：把多个表合并为一个表，或把多个工作簿合并为一个新工作簿，格式和公式随行保留。</source>
        <translation>Function: sheets into one sheet, or workbooks into one.</translation>
    </message>
    <message>
        <source>合并工作表：同一工作簿里选中的表合并为新表“合并”</source>
        <translation>Sheets of one workbook into a new sheet</translation>
    </message>
    <message>
        <source>导入目标文件：</source>
        <translation>Workbook…</translation>
    </message>
    <message>
        <source>要合并的表：</source>
        <translation>Sheets to combine:</translation>
    </message>
    <message>
        <source>第一列添加“来源”（每行来自哪个表）</source>
        <translation>First column &quot;Source&quot;: each row&apos;s sheet</translation>
    </message>
    <message>
        <source>合并工作簿：多个文件合并为一个新工作簿</source>
        <translation>Workbooks into a new workbook</translation>
    </message>
    <message>
        <source>添加文件：</source>
        <translation>Add files:</translation>
    </message>
    <message>
        <source>选择文件夹：</source>
        <translation>Folder…</translation>
    </message>
    <message>
        <source>新工作簿：</source>
        <translation>Result…</translation>
    </message>
    <message>
        <source>标题行数：</source>
        <translation>Title rows:</translation>
    </message>
    <message>
        <source>开始合并</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>请选择合并后的新工作簿。</source>
        <translation>Choose the new combined workbook.</translation>
    </message>
    <message>
        <source>文件夹%1不存在，请重新选择。</source>
        <translation>The folder %1 does not exist. Please choose again.</translation>
    </message>
    <message>
        <source>请选择要合并的工作簿。</source>
        <translation>Choose the workbooks to combine.</translation>
    </message>
    <message>
        <source>文件夹%1里没有工作簿（.xlsx、.xls、.ods），没有可以合并的文件。</source>
        <translation>The folder %1 holds no workbooks (.xlsx, .xls, .ods): there is nothing to combine.</translation>
    </message>
    <message>
        <source>文件%1不存在，请重新选择。</source>
        <translation>The file %1 does not exist. Please choose again.</translation>
    </message>
    <message>
        <source>合并后的新工作簿%1是要合并的文件之一，请另选一个文件名。没有合并，文件没有改动。</source>
        <translation>The new workbook %1 is one of the files to combine. Please choose another file name. Nothing was combined and no file was changed.</translation>
    </message>
    <message>
        <source>新工作簿所在的文件夹%1不存在，请重新选择。</source>
        <translation>The folder %1 of the new workbook does not exist. Please choose again.</translation>
    </message>
    <message>
        <source>要合并的工作簿里都没有数据，没有可以合并的内容。</source>
        <translation>The workbooks to combine hold no data: there is nothing to combine.</translation>
    </message>
    <message>
        <source>新工作簿的“%1”表将有%2行，超过了%3这种文件一个Sheet表最多能有的%4行，没有合并，没有写入任何文件。</source>
        <translation>The new workbook&apos;s sheet &quot;%1&quot; would have %2 rows, more than the %4 rows a sheet of a %3 file can hold. Nothing was combined and no file was written.</translation>
    </message>
    <message>
        <source>电子表格程序没能新建工作簿，没有合并。</source>
        <translation>The spreadsheet application could not create a new workbook. Nothing was combined.</translation>
    </message>
    <message>
        <source>合并已取消，没有写入任何文件。</source>
        <translation>Combining was cancelled. No file was written.</translation>
    </message>
    <message>
        <source>处理时出错：电子表格程序没能复制Sheet表，已停止处理，没有写入任何文件。</source>
        <translation>Error while processing: the spreadsheet application could not copy a sheet. Processing stopped and no file was written.</translation>
    </message>
    <message>
        <source>保存失败：新工作簿没能保存到%1，请确认该文件没有被其他程序打开并且可以写入。</source>
        <translation>Saving failed: the new workbook could not be saved to %1. Make sure no other program has the file open and that it can be written.</translation>
    </message>
    <message numerus="yes">
        <source>处理完毕：%n个工作簿已合并为%1（%2个Sheet表），请打开查看。</source>
        <translation>
            <numerusform>Done: %n workbook was combined into %1 (%2 sheets). Please open it to have a look.</numerusform>
            <numerusform>Done: %n workbooks were combined into %1 (%2 sheets). Please open it to have a look.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>“%1”：%n行，来自 %2</source>
        <extracomment>Between the items of a list.</extracomment>
        <translation>
            <numerusform>&quot;%1&quot;: %n row, from %2</numerusform>
            <numerusform>&quot;%1&quot;: %n rows, from %2</numerusform>
        </translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>正在处理中，请不要操作其他Excel文件。</source>
        <translation>Working. Please leave other Excel files alone until it is done.</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>目标文件不存在，请重新选择。</source>
        <translation>The target file does not exist; please choose it again.</translation>
    </message>
    <message>
        <source>“标题行数”不能小于0，请重新输入。</source>
        <translation>&quot;Title rows&quot; cannot be less than 0. Please enter it again.</translation>
    </message>
    <message>
        <source>按标题对齐需要标题行，“标题行数”至少为1，请重新输入。</source>
        <translation>Aligning by title needs title rows: &quot;Title rows&quot; must be at least 1. Please enter it again.</translation>
    </message>
    <message>
        <source>%1只能以只读方式打开（所在文件夹不能写入，或文件正被其他程序占用），处理结果无法保存，没有处理，文件没有改动。</source>
        <translation>%1 can only be opened read-only (its folder is not writable, or another program is using the file), so the results could not be saved. Nothing was done; the file is unchanged.</translation>
    </message>
    <message>
        <source>合并已取消，文件没有改动。</source>
        <translation>Combining was cancelled. The file was not changed.</translation>
    </message>
    <message>
        <source>处理时出错：电子表格程序拒绝复制行（例如工作表受保护），已停止处理，文件没有改动。</source>
        <translation>Error while processing: the spreadsheet application refused to copy rows (a protected sheet, for example). Processing stopped and the file was not changed.</translation>
    </message>
    <message numerus="yes">
        <source>处理完毕：%n行数据已合并到新Sheet表“%1”，请打开%2查看。</source>
        <translation>
            <numerusform>Done: %n data row was combined into the new sheet &quot;%1&quot;. Please open %2 to have a look.</numerusform>
            <numerusform>Done: %n data rows were combined into the new sheet &quot;%1&quot;. Please open %2 to have a look.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>有%n个单元格的公式引用了其他Sheet表或按标题移动了的列，合并后引用会错位，已保留为原来显示的值。</source>
        <translation>
            <numerusform>%n cell&apos;s formula referred to other sheets or to columns moved by title, and its references would shift: it keeps the value it showed.</numerusform>
            <numerusform>%n cells&apos; formulas referred to other sheets or to columns moved by title, and their references would shift: they keep the values they showed.</numerusform>
        </translation>
    </message>
    <message>
        <source>合并</source>
        <translation>Combined</translation>
    </message>
    <message>
        <source>文件中没有名为“%1”的Sheet表，请重新选择要合并的Sheet表。文件没有改动。</source>
        <translation>The file has no sheet named &quot;%1&quot;. Please choose the sheets to combine again. The file was not changed.</translation>
    </message>
    <message>
        <source>工作簿的结构受保护，无法添加新的Sheet表，请先撤销工作簿保护。文件没有改动。</source>
        <translation>The workbook&apos;s structure is protected, so no sheet can be added. Unprotect the workbook first. The file was not changed.</translation>
    </message>
    <message>
        <source>“%1”表是空的，没有可以合并的内容，请不要选择它。文件没有改动。</source>
        <translation>The sheet &quot;%1&quot; is empty: it has nothing to combine. Please do not choose it. The file was not changed.</translation>
    </message>
    <message>
        <source>“%1”表第%2列（%3列）的标题是“%4”，与第一个表“%5”的“%6”不同，没有合并，文件没有改动。要按标题文字对齐各列，请选择“按标题对齐”。</source>
        <translation>The title of column %2 (column %3) of the sheet &quot;%1&quot; is &quot;%4&quot;, unlike &quot;%6&quot; of the first sheet &quot;%5&quot;. Nothing was combined and the file was not changed. To match the columns by their title text, choose &quot;Align by title&quot;.</translation>
    </message>
    <message>
        <source>合并后共有%1行，超过了这种文件一个Sheet表最多能有的%2行，没有合并，文件没有改动。</source>
        <translation>Combined there would be %1 rows, more than the %2 rows a sheet of this kind of file can hold. Nothing was combined and the file was not changed.</translation>
    </message>
    <message numerus="yes">
        <source>新Sheet表“%1”：标题%n行，</source>
        <translation>
            <numerusform>New sheet &quot;%1&quot;: %n title row, </numerusform>
            <numerusform>New sheet &quot;%1&quot;: %n title rows, </numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>数据共%n行。</source>
        <translation>
            <numerusform>%n data row in all.</numerusform>
            <numerusform>%n data rows in all.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>“%1”：%n行</source>
        <translation>
            <numerusform>&quot;%1&quot;: %n row</numerusform>
            <numerusform>&quot;%1&quot;: %n rows</numerusform>
        </translation>
    </message>
    <message>
        <source>按标题对齐后在最后添加的列：%1</source>
        <extracomment>Between the items of a list.</extracomment>
        <translation>Columns added at the end by aligning by title: %1</translation>
    </message>
    <message>
        <source>来源</source>
        <translation>Source</translation>
    </message>
    <message>
        <source>“%1”表受工作表保护，合并的行无法写入以它为样板的新表，请先撤销工作表保护。文件没有改动。</source>
        <translation>The sheet &quot;%1&quot; is protected, so no rows can be written into the new sheet modelled on it. Please unprotect the sheet first. The file was not changed.</translation>
    </message>
    <message>
        <source>电子表格程序没能把以下内容带到新工作簿里：%1。</source>
        <extracomment>The list is of features such as frozen panes or pivot tables.</extracomment>
        <translation>The spreadsheet application could not carry these into the new workbook: %1.</translation>
    </message>
    <message>
        <source>%1的“%2”表受密码保护，它单元格%3等的公式引用了其他工作表或文件，在新工作簿里无法保留它们的值。没有合并，没有写入任何文件。</source>
        <translation>The sheet &quot;%2&quot; of %1 is protected with a password and its formulas, from cell %3 on, point at other sheets or files, so their values cannot be kept in the new workbook. Nothing was combined and no file was written.</translation>
    </message>
    <message>
        <source>%1无法打开（%2），没有合并，没有写入任何文件。</source>
        <translation>%1 cannot be opened (%2). Nothing was combined and no file was written.</translation>
    </message>
    <message numerus="yes">
        <source>有%n个单元格的公式引用了其他Sheet表、其他文件或按标题移动了的列，在新工作簿里会失效或错位，已保留为原来显示的值。</source>
        <translation>
            <numerusform>%n cell had a formula pointing at another sheet, another file or a column moved to match its title, which would break or shift in the new workbook; it keeps the value it showed.</numerusform>
            <numerusform>%n cells had formulas pointing at other sheets, other files or columns moved to match their titles, which would break or shift in the new workbook; they keep the values they showed.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>DuZozodKiv</name>
    <message>
        <source>正在处理中，请不要操作其他Excel文件。</source>
        <translation>Working. Please leave other Excel files alone until it is done.</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>注意：还没处理完毕，您已退出。</source>
        <translation>Note: you stopped before the work was finished.</translation>
    </message>
    <message>
        <source>写入对比结果时出错，已停止处理。</source>
        <translation>Writing the comparison results failed; processing stopped.</translation>
    </message>
    <message>
        <source>对比结束，结果已保存在Excel文件的第一列，请自行打开查看。</source>
        <translation>Comparison finished. The results are saved in the first column of the Excel file; open it to see them.</translation>
    </message>
    <message>
        <source>虽然还没处理完，但是仍在目标文件保存了部分结果，请自行打开查看。</source>
        <translation>The work was not finished, but the partial results were saved in the file; open it to see them.</translation>
    </message>
    <message>
        <source>对比已结束，但结果未能保存到Excel文件（文件可能是只读的、正被其他程序占用或磁盘已满），请检查后重新导入并对比。</source>
        <translation>The comparison finished, but the results could not be saved to the Excel file (it may be read-only or in use by another program, or the disk is full). Please check, then import and compare again.</translation>
    </message>
    <message>
        <source>还没处理完，而且部分结果也未能保存到Excel文件（文件可能是只读的、正被其他程序占用或磁盘已满）。</source>
        <translation>The work was not finished, and the partial results could not be saved to the Excel file either (it may be read-only or in use by another program, or the disk is full).</translation>
    </message>
    <message>
        <source>正在打开表格……</source>
        <translation>Opening the sheets…</translation>
    </message>
    <message>
        <source>正在对比……</source>
        <translation>Comparing…</translation>
    </message>
    <message>
        <source>正在保存……</source>
        <translation>Saving…</translation>
    </message>
    <message>
        <source>忽略首尾空格</source>
        <translation>Ignore spaces at both ends</translation>
    </message>
    <message>
        <source>忽略大小写</source>
        <translation>Ignore letter case</translation>
    </message>
    <message>
        <source>全角半角视为相同</source>
        <translation>Treat full-width and half-width forms as equal</translation>
    </message>
    <message>
        <source>、</source>
        <extracomment>Between the forgiven differences of a header&apos;s suffix.
----------
Between the cells or names a message lists.</extracomment>
        <translation>, </translation>
    </message>
    <message>
        <source>（%1）</source>
        <extracomment>The forgiven differences after a header: %1 lists them.</extracomment>
        <translation> (%1)</translation>
    </message>
    <message>
        <source>在“%1”表“%2”列首次出现的行</source>
        <extracomment>Header of the column with the first matching row: %1 the other sheet, %2 its column&apos;s title.</extracomment>
        <translation>First row in column “%2” of sheet “%1”</translation>
    </message>
    <message>
        <source>“%1”在“%2”表“%3”列出现的次数</source>
        <extracomment>Header of the count column: %1 this column&apos;s title, %2 the other sheet, %3 its column&apos;s title.</extracomment>
        <translation>Occurrences of “%1” in column “%3” of sheet “%2”</translation>
    </message>
    <message>
        <source>没有导入Excel文件，无法比对。</source>
        <translation>No Excel file has been imported; nothing to compare.</translation>
    </message>
    <message>
        <source>没有表1，无法比对。</source>
        <translation>There is no sheet 1; cannot compare.</translation>
    </message>
    <message>
        <source>没有表2，无法比对。</source>
        <translation>There is no sheet 2; cannot compare.</translation>
    </message>
    <message>
        <source>表1跟表2是同一个表，不需比对。</source>
        <translation>Sheet 1 and sheet 2 are the same sheet; there is nothing to compare.</translation>
    </message>
    <message>
        <source>表1没有选择列，无法比对。</source>
        <translation>No column has been chosen for sheet 1; cannot compare.</translation>
    </message>
    <message>
        <source>表2没有选择列，无法比对。</source>
        <translation>No column has been chosen for sheet 2; cannot compare.</translation>
    </message>
    <message>
        <source>表1的总行数有误，请重新输入。</source>
        <translation>The row count of sheet 1 is not valid; please enter it again.</translation>
    </message>
    <message>
        <source>表2的总行数有误，请重新输入。</source>
        <translation>The row count of sheet 2 is not valid; please enter it again.</translation>
    </message>
    <message>
        <source>表1选择的表不在导入的Excel文件里，请重新导入Excel文件或重新选择表1。</source>
        <translation>The sheet chosen as sheet 1 is not in the imported Excel file; please import the file again or choose sheet 1 again.</translation>
    </message>
    <message>
        <source>表2选择的表不在导入的Excel文件里，请重新导入Excel文件或重新选择表2。</source>
        <translation>The sheet chosen as sheet 2 is not in the imported Excel file; please import the file again or choose sheet 2 again.</translation>
    </message>
    <message>
        <source>表1选择的列不在表1的第一行里，请重新选择表1的列。</source>
        <translation>The column chosen for sheet 1 is not in its first row; please choose the column of sheet 1 again.</translation>
    </message>
    <message>
        <source>表2选择的列不在表2的第一行里，请重新选择表2的列。</source>
        <translation>The column chosen for sheet 2 is not in its first row; please choose the column of sheet 2 again.</translation>
    </message>
    <message>
        <source>表1的总行数超过了表格能容纳的行数，请重新输入。</source>
        <translation>The row count of sheet 1 is more than a sheet can hold; please enter it again.</translation>
    </message>
    <message>
        <source>表2的总行数超过了表格能容纳的行数，请重新输入。</source>
        <translation>The row count of sheet 2 is more than a sheet can hold; please enter it again.</translation>
    </message>
    <message>
        <source>再加一列：首次出现的行号</source>
        <translation>Add a column: row of the first match</translation>
    </message>
    <message>
        <source>标出次数为0的行</source>
        <translation>Mark rows with a count of 0</translation>
    </message>
    <message>
        <source>保存前在旁边保留原文件的备份</source>
        <translation>Keep a backup of the original beside it before saving</translation>
    </message>
    <message>
        <source>说明：</source>
        <translation>Notes:</translation>
    </message>
    <message>
        <source>1、系统必须安装LibreOffice Calc任意版本；</source>
        <translation>1. LibreOffice Calc (any version) must be installed;</translation>
    </message>
    <message>
        <source>2、导入文件的列名必须放在表格的第一行；</source>
        <translation>2. The column titles must be in the first row of each sheet;</translation>
    </message>
    <message>
        <source>3、点击“开始对比”按钮后该按钮即可开始对比，结果保存在导入的Excel文件里。</source>
        <translation>3. “Compare” starts the comparison; the results are saved in the imported file.</translation>
    </message>
    <message>
        <source>KivEcel工具箱：Excel对比器</source>
        <translation>KivExcel Toolbox: Excel Comparer</translation>
    </message>
    <message>
        <source>第一步，导入Excel文件：</source>
        <translation>Step 1: import an Excel file:</translation>
    </message>
    <message>
        <source>导入Excel文件</source>
        <translation>Import Excel file</translation>
    </message>
    <message>
        <source>第二步，选择要比对的Sheet表：</source>
        <translation>Step 2: pick the two sheets:</translation>
    </message>
    <message>
        <source>表1</source>
        <translation>Sheet 1</translation>
    </message>
    <message>
        <source>表2</source>
        <translation>Sheet 2</translation>
    </message>
    <message>
        <source>第三步，选择要比对的列名：</source>
        <translation>Step 3: pick the columns:</translation>
    </message>
    <message>
        <source>表1的列：</source>
        <translation>Column 1:</translation>
    </message>
    <message>
        <source>表2的列：</source>
        <translation>Column 2:</translation>
    </message>
    <message>
        <source>第四步，请分别填入表1、表2的总行数（必填）：</source>
        <translation>Step 4: enter the row counts of sheets 1 and 2 (required):</translation>
    </message>
    <message>
        <source>表1的总行数：</source>
        <translation>Sheet 1:</translation>
    </message>
    <message>
        <source>表2的总行数：</source>
        <translation>Sheet 2:</translation>
    </message>
    <message>
        <source>开始对比</source>
        <translation>Compare</translation>
    </message>
    <message>
        <source>表1受工作表保护，无法插入新列，请先撤销工作表保护。文件没有改动。</source>
        <translation>Sheet 1 is protected, so no column can be inserted. Unprotect the sheet first. The file was not changed.</translation>
    </message>
    <message>
        <source>表2受工作表保护，无法插入新列，请先撤销工作表保护。文件没有改动。</source>
        <translation>Sheet 2 is protected, so no column can be inserted. Unprotect the sheet first. The file was not changed.</translation>
    </message>
    <message>
        <source>表1的最后一列已被使用，无法插入新列。</source>
        <translation>The last column of sheet 1 is in use, so no column can be inserted.</translation>
    </message>
    <message>
        <source>表2的最后一列已被使用，无法插入新列。</source>
        <translation>The last column of sheet 2 is in use, so no column can be inserted.</translation>
    </message>
    <message>
        <source>%1对比已停止，文件没有改动。</source>
        <extracomment>After the text on formulas with 3-D references, when the user chose to stop.</extracomment>
        <translation>%1 The comparison was stopped; the file was not changed.</translation>
    </message>
    <message>
        <source>要继续对比吗？选择“停止”则文件不做任何改动。</source>
        <translation>Go on with the comparison? With “Stop” the file is not changed at all.</translation>
    </message>
    <message>
        <source>继续</source>
        <translation>Go on</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>%1等共%2个单元格</source>
        <extracomment>%1 the first cells, %2 how many there are in all.</extracomment>
        <translation>%1 and others (%2 cells in all)</translation>
    </message>
    <message>
        <source>名称%1</source>
        <extracomment>%1 defined names of the workbook.</extracomment>
        <translation>the names %1</translation>
    </message>
    <message>
        <source>%1的公式用三维引用（如Sheet1:Sheet3!A1）汇总多个工作表的同一位置，其中包括要对比的表。对比会在表里插入新列，内容右移而三维引用不变，这些公式的结果会因此改变。</source>
        <extracomment>%1 the cells and names whose formulas have 3-D references over a compared sheet.</extracomment>
        <translation>The formulas of %1 add up the same place on several sheets through 3-D references (such as Sheet1:Sheet3!A1), among them a compared sheet. The comparison inserts a new column there: the contents move right while the 3-D references stay, so these formulas give other results.</translation>
    </message>
    <message>
        <source>%1的公式引用整行（如$A1:$IV4）或两个区域的交集。在.xls文件里插入新列后，电子表格程序会把这样的公式变成#REF!。请先把文件另存为.xlsx再对比。文件没有改动。</source>
        <extracomment>%1 cells such as Sheet1!B4.</extracomment>
        <translation>The formulas of %1 refer to whole rows (such as $A1:$IV4) or to the intersection of two ranges. In an .xls file the spreadsheet program turns such formulas into #REF! when a column is inserted. Please save the file as .xlsx first, then compare. The file was not changed.</translation>
    </message>
</context>
<context>
    <name>ExcelOpKiv</name>
    <message>
        <source>空</source>
        <extracomment>The name of the sheet for the empty value.</extracomment>
        <translation>(empty)</translation>
    </message>
    <message>
        <source>打开Excel文件时出错:(this-&gt;excel==null)</source>
        <translation>Error opening the Excel file: (this-&gt;excel==null)</translation>
    </message>
    <message>
        <source>打开Excel文件时出错:(this-&gt;workbook==null)</source>
        <translation>Error opening the Excel file: (this-&gt;workbook==null)</translation>
    </message>
    <message>
        <source>打开Excel文件获取sheet名字时出错:(this-&gt;excel==null)||(this-&gt;workbook==null)</source>
        <translation>Error reading the sheet names of the Excel file: (this-&gt;excel==null)||(this-&gt;workbook==null)</translation>
    </message>
    <message>
        <source>电子表格程序长时间没有响应，已被结束。这个工作簿没有处理完，结果没有保存。</source>
        <translation>The spreadsheet program stopped responding for too long and was ended. This workbook was not finished, and the results were not saved.</translation>
    </message>
    <message>
        <source>电子表格程序意外退出了。这个工作簿没有处理完，结果没有保存。</source>
        <translation>The spreadsheet program quit unexpectedly. This workbook was not finished, and the results were not saved.</translation>
    </message>
</context>
<context>
    <name>KivAdViewButton</name>
    <message>
        <source>%1
图片加载中。。</source>
        <translation>%1
Loading the picture…</translation>
    </message>
    <message>
        <source>“%1”的下载地址不安全，不会下载或运行：
%2</source>
        <translation>The download address of “%1” is not safe; it will not be downloaded or run:
%2</translation>
    </message>
    <message>
        <source>是否运行“%1”？</source>
        <translation>Run “%1”?</translation>
    </message>
    <message>
        <source>程序：%1
来自：%2</source>
        <translation>Program: %1
From: %2</translation>
    </message>
    <message>
        <source>正在下载“%1”</source>
        <translation>Downloading “%1”</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>KivExcel工具箱</source>
        <translation>KivExcel Toolbox</translation>
    </message>
    <message>
        <source>注意：如果您当前的系统是windows10,请确保以“Windows XP(Service Pack3)”的“兼容模式”打开本应用程序，否则无法处理Excel。</source>
        <translation>Note: on Windows 10, start this program in the “compatibility mode” for “Windows XP (Service Pack 3)”, otherwise it cannot work with Excel.</translation>
    </message>
    <message>
        <source>请选择功能：</source>
        <translation>Choose a tool:</translation>
    </message>
    <message>
        <source>功能1：</source>
        <translation>Tool 1:</translation>
    </message>
    <message>
        <source>Excel对比</source>
        <translation>Compare columns</translation>
    </message>
    <message>
        <source>功能2：</source>
        <translation>Tool 2:</translation>
    </message>
    <message>
        <source>按列分割为多个表</source>
        <translation>Split by column</translation>
    </message>
    <message>
        <source>功能3：</source>
        <translation>Tool 3:</translation>
    </message>
    <message>
        <source>拆分每个表为单独的文件</source>
        <translation>Sheets to files</translation>
    </message>
    <message>
        <source>KivExcel工具箱 版本：V1.0</source>
        <translation>KivExcel Toolbox, version V1.0</translation>
    </message>
    <message>
        <source>主页：</source>
        <translation>Home page: </translation>
    </message>
    <message>
        <source>Q群：</source>
        <translation>QQ group: </translation>
    </message>
    <message>
        <source> （欢迎入群讨论）</source>
        <translation> (come and join the discussion)</translation>
    </message>
    <message>
        <source>邮箱：</source>
        <translation>Email: </translation>
    </message>
    <message>
        <source>作者：</source>
        <translation>Author: </translation>
    </message>
    <message>
        <source>功能4：</source>
        <translation>Tool 4:</translation>
    </message>
    <message>
        <source>合并多个表/工作簿</source>
        <translation>Combine</translation>
    </message>
</context>
<context>
    <name>MyDownloadManager</name>
    <message>
        <source>下载中</source>
        <translation>Downloading</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>OpenFailure</name>
    <message>
        <source>文件不存在</source>
        <translation>The file does not exist</translation>
    </message>
    <message>
        <source>没有读取权限</source>
        <translation>No permission to read the file</translation>
    </message>
    <message>
        <source>文件有密码保护</source>
        <translation>The file is protected by a password</translation>
    </message>
    <message>
        <source>不是电子表格文件</source>
        <translation>Not a spreadsheet file</translation>
    </message>
    <message>
        <source>文件已损坏</source>
        <translation>The file is damaged</translation>
    </message>
</context>
<context>
    <name>OptionsMenu</name>
    <message>
        <source>选项</source>
        <translation>Options</translation>
    </message>
</context>
<context>
    <name>ResultSaver</name>
    <message>
        <source>冻结窗格</source>
        <translation>frozen panes</translation>
    </message>
    <message>
        <source>显示比例</source>
        <translation>zoom</translation>
    </message>
    <message>
        <source>隐藏的网格线</source>
        <translation>hidden grid lines</translation>
    </message>
    <message>
        <source>图表</source>
        <translation>charts</translation>
    </message>
    <message>
        <source>图表工作表</source>
        <translation>chart sheets</translation>
    </message>
    <message>
        <source>图片</source>
        <translation>pictures</translation>
    </message>
    <message>
        <source>形状和文本框</source>
        <translation>shapes and text boxes</translation>
    </message>
    <message>
        <source>数据透视表</source>
        <translation>pivot tables</translation>
    </message>
    <message>
        <source>表格（套用表格格式）</source>
        <translation>tables (formatted as a table)</translation>
    </message>
    <message>
        <source>切片器</source>
        <translation>slicers</translation>
    </message>
    <message>
        <source>批注</source>
        <translation>notes</translation>
    </message>
    <message>
        <source>数据验证</source>
        <translation>data validation</translation>
    </message>
    <message>
        <source>条件格式</source>
        <translation>conditional formats</translation>
    </message>
    <message>
        <source>迷你图</source>
        <translation>sparklines</translation>
    </message>
    <message>
        <source>超链接</source>
        <translation>hyperlinks</translation>
    </message>
    <message>
        <source>定义的名称</source>
        <translation>defined names</translation>
    </message>
    <message>
        <source>打印机设置</source>
        <translation>printer settings</translation>
    </message>
    <message>
        <source>宏</source>
        <translation>macros</translation>
    </message>
    <message>
        <source>外部链接</source>
        <translation>external links</translation>
    </message>
    <message>
        <source>数据连接</source>
        <translation>data connections</translation>
    </message>
    <message>
        <source>嵌入的对象</source>
        <translation>embedded objects</translation>
    </message>
    <message>
        <source>自定义XML数据</source>
        <translation>custom XML data</translation>
    </message>
    <message>
        <source>工作表保护</source>
        <translation>sheet protection</translation>
    </message>
    <message>
        <source>工作簿保护</source>
        <translation>workbook protection</translation>
    </message>
    <message>
        <source>.结果</source>
        <extracomment>Inserted before the extension of the new file a result is saved to.</extracomment>
        <translation>.result</translation>
    </message>
    <message>
        <source>、</source>
        <extracomment>Between the items of a list.</extracomment>
        <translation>, </translation>
    </message>
    <message>
        <source>保存到原文件会丢失：%1。</source>
        <translation>Saving over the original would lose: %1.</translation>
    </message>
    <message>
        <source>电子表格程序不能保留这些内容。建议把结果另存为新文件：%1，原文件保持不变。</source>
        <translation>The spreadsheet program cannot keep these. Save the result as a new file instead: %1, leaving the original as it is.</translation>
    </message>
    <message>
        <source>覆盖原文件</source>
        <translation>Overwrite the original</translation>
    </message>
    <message>
        <source>另存为新文件</source>
        <translation>Save as a new file</translation>
    </message>
    <message>
        <source>不保存</source>
        <translation>Don&apos;t save</translation>
    </message>
    <message>
        <source>结果已另存为%1，原文件%2没有改动（保存到原文件会丢失：%3）。</source>
        <translation>The result was saved as %1; the original %2 was not changed (saving over it would lose: %3).</translation>
    </message>
    <message>
        <source>结果已保存到%1，以下内容没有保留：%2。</source>
        <translation>The result was saved to %1; these were not kept: %2.</translation>
    </message>
    <message>
        <source>结果没有保存：保存到原文件会丢失%1。原文件%2没有改动。</source>
        <translation>The result was not saved: saving over the original would lose %1. The original %2 was not changed.</translation>
    </message>
    <message>
        <source>正在处理中，请不要操作其他Excel文件。</source>
        <translation>Working. Please leave other Excel files alone until it is done.</translation>
    </message>
    <message>
        <source>正在保存……</source>
        <translation>Saving…</translation>
    </message>
    <message>
        <source>保存失败：处理结果没能保存到%1，请确认该文件没有被其他程序打开并且可以写入。</source>
        <translation>Saving failed: the results could not be saved to %1. Please make sure no other program has the file open and that it can be written.</translation>
    </message>
</context>
<context>
    <name>SplitPlan</name>
    <message>
        <source>空值</source>
        <translation>empty value</translation>
    </message>
    <message>
        <source>含有表名不能用的字符</source>
        <translation>has characters a sheet name cannot hold</translation>
    </message>
    <message>
        <source>超过31个字符</source>
        <translation>longer than 31 characters</translation>
    </message>
    <message>
        <source>名字已被占用</source>
        <translation>the name is taken</translation>
    </message>
    <message>
        <source>含有文件名不能用的字符</source>
        <translation>has characters a file name cannot hold</translation>
    </message>
    <message>
        <source>与前面的值同名，会替换它的文件</source>
        <translation>same name as an earlier value, replaces its file</translation>
    </message>
    <message>
        <source>“%1”：%2行 → %3</source>
        <translation>“%1”: %2 rows → %3</translation>
    </message>
    <message>
        <source>（改名：%1）</source>
        <translation> (renamed: %1)</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
</context>
<context>
    <name>SplitSheetFromColumn</name>
    <message>
        <source>%1只能以只读方式打开（所在文件夹不能写入，或文件正被其他程序占用），处理结果无法保存，没有处理，文件没有改动。</source>
        <translation>%1 can only be opened read-only (its folder is not writable, or another program is using the file), so the results could not be saved. Nothing was done; the file is unchanged.</translation>
    </message>
    <message>
        <source>目标文件不存在，请重新选择。</source>
        <translation>The target file does not exist; please choose it again.</translation>
    </message>
    <message>
        <source>您输入的“起始位置”格式有误，请重新输入。</source>
        <translation>The “start cell” you entered is not a cell such as A1; please enter it again.</translation>
    </message>
    <message>
        <source>您输入的“结束位置”格式有误，请重新输入。</source>
        <translation>The “end cell” you entered is not a cell such as H50; please enter it again.</translation>
    </message>
    <message>
        <source>您输入的“分割参考列”格式有误，请重新输入。</source>
        <translation>The “split column” you entered is not column letters such as A; please enter it again.</translation>
    </message>
    <message>
        <source>“结束位置”必须在“起始位置”（标题行）下面，数据区域里没有数据行，请重新输入。</source>
        <translation>The “end cell” must be below the “start cell” (the title row); the data area has no data rows. Please enter them again.</translation>
    </message>
    <message>
        <source>文件中没有名为“%1”的Sheet表，请重新导入文件并选择要处理的Sheet表。</source>
        <translation>The file has no sheet named “%1”; please import the file again and choose the sheet to process.</translation>
    </message>
    <message>
        <source>“%1”表在标题行（第%2行）下面没有数据行，没有可以分割的内容，文件没有改动。</source>
        <translation>Sheet “%1” has no data rows below its title row (row %2), so there is nothing to split; the file is unchanged.</translation>
    </message>
    <message>
        <source>处理时出错：工作表受保护，新Sheet表里的行没能删除，已停止处理，文件没有改动。</source>
        <translation>Error while processing: the worksheet is protected, so the rows in the new sheet could not be deleted. Processing stopped; the file is unchanged.</translation>
    </message>
    <message>
        <source>处理时出错：电子表格程序拒绝删除新Sheet表里的行（例如要删除的行穿过数组公式），已停止处理，文件没有改动。</source>
        <translation>Error while processing: the spreadsheet program refused to delete rows in the new sheet (for example, rows that cut through an array formula). Processing stopped; the file is unchanged.</translation>
    </message>
    <message>
        <source>正在处理中，请不要操作其他Excel文件。</source>
        <translation>Working. Please leave other Excel files alone until it is done.</translation>
    </message>
    <message>
        <source>注意：还没处理完毕，您已退出，但部分处理结果已经保存在目录文件内了。</source>
        <translation>Note: you stopped before the work was finished, but the partial results have been saved in the target file.</translation>
    </message>
    <message>
        <source>没有全部处理完毕：以下值没能生成新的Sheet表：%1。其余结果已经保存在%2内。</source>
        <translation>Not everything was done: no new sheet could be made for these values: %1. The other results have been saved in %2.</translation>
    </message>
    <message>
        <source>您输入的“起始位置”不在工作表的行范围（1到%1）内，请重新输入。</source>
        <translation>The “start cell” you entered is outside the sheet&apos;s rows (1 to %1); please enter it again.</translation>
    </message>
    <message>
        <source>您输入的“结束位置”不在工作表的行范围（1到%1）内，请重新输入。</source>
        <translation>The “end cell” you entered is outside the sheet&apos;s rows (1 to %1); please enter it again.</translation>
    </message>
    <message>
        <source>您输入的“分割参考列”超出了工作表的最后一列%1，请重新输入。</source>
        <translation>The “split column” you entered is beyond the sheet&apos;s last column, %1; please enter it again.</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>保存前在旁边保留原文件的备份</source>
        <translation>Keep a backup of the original beside it before saving</translation>
    </message>
    <message>
        <source>KivExcel工具箱：Excel按列分割器</source>
        <translation>KivExcel Toolbox: Excel Column Splitter</translation>
    </message>
    <message>
        <source>一、导入文件</source>
        <translation>1. Import a file</translation>
    </message>
    <message>
        <source>导入Excel文件</source>
        <translation>Import…</translation>
    </message>
    <message>
        <source>二、请选择要处理的Sheet表：</source>
        <translation>2. Choose the sheet to process:</translation>
    </message>
    <message>
        <source>三、请输入Excel的处理实际数据区域,即标题行和数据区域。（必填）：</source>
        <translation>3. The area to process: title row and data rows (required):</translation>
    </message>
    <message>
        <source>起始位置：如A2</source>
        <translation>Start, e.g. A2</translation>
    </message>
    <message>
        <source>结束于：如H50</source>
        <translation>End, e.g. H50</translation>
    </message>
    <message>
        <source>:</source>
        <translation>:</translation>
    </message>
    <message>
        <source>四、请输入分割的参考列（必填）： 例如以A列为参考写A即可</source>
        <translation>4. Enter the split column (required): e.g. A to split by column A</translation>
    </message>
    <message>
        <source>五、是否删除参考列（非必选）</source>
        <translation>5. Delete the split column? (optional)</translation>
    </message>
    <message>
        <source>如勾选此处，处理完毕后将删除参考列。</source>
        <translation>Yes, delete it when done</translation>
    </message>
    <message>
        <source>开始分割</source>
        <translation>Split</translation>
    </message>
    <message>
        <source>、</source>
        <extracomment>Between the values of a list.</extracomment>
        <translation>, </translation>
    </message>
    <message>
        <source>处理完毕请打开%1查看。</source>
        <translation>Done. Open %1 to see the results.</translation>
    </message>
    <message>
        <source>“导出文件夹”%1不存在，请重新选择。</source>
        <translation>The “output folder” %1 does not exist; please choose it again.</translation>
    </message>
    <message>
        <source>无法在导出文件夹%1里写入文件。</source>
        <translation>Cannot write files in the output folder %1.</translation>
    </message>
    <message>
        <source>注意：还没处理完毕，您已退出，没有写入任何文件。</source>
        <translation>Note: you stopped before the work was finished; no file was written.</translation>
    </message>
    <message>
        <source>处理时出错：电子表格程序没能分出新的Sheet表，没有写入任何文件。</source>
        <translation>Error while processing: the spreadsheet program could not make the new sheets; no file was written.</translation>
    </message>
    <message>
        <source>注意：还没处理完毕，您已退出，已写入的文件在%1里。</source>
        <translation>Note: you stopped before the work was finished; the files written so far are in %1.</translation>
    </message>
    <message>
        <source>以下值的文件没能写入：%1。</source>
        <translation>The files of these values could not be written: %1.</translation>
    </message>
    <message>
        <source>分割前先看分割方案</source>
        <translation>Show the split plan first</translation>
    </message>
    <message>
        <source>分割为单独的文件（每个值一个文件，原文件不变）</source>
        <translation>Split into separate files (one file per value, the original unchanged)</translation>
    </message>
    <message>
        <source>分割方案（%1个值）：</source>
        <translation>Split plan (%1 values):</translation>
    </message>
    <message>
        <source>开始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>处理完毕请打开目录%1查看。</source>
        <translation>Done. Open the folder %1 to see the files.</translation>
    </message>
    <message>
        <source>“%1”表受工作表保护，新Sheet表里的行无法删除，请先撤销工作表保护。文件没有改动。</source>
        <translation>Sheet “%1” is protected, so the rows of its new sheets could not be deleted. Unprotect the sheet first. The file was not changed.</translation>
    </message>
    <message>
        <source>工作簿的结构受保护，无法添加新的Sheet表，请先撤销工作簿保护。文件没有改动。</source>
        <translation>The workbook&apos;s structure is protected, so no sheet can be added. Unprotect the workbook first. The file was not changed.</translation>
    </message>
    <message numerus="yes">
        <source>文件里有%n个单元格的公式引用的内容不在该文件里（会显示#REF!），已保留为原来显示的值。</source>
        <translation>
            <numerusform>%n cell&apos;s formula refers to what its file does not hold (it would show #REF!): it was kept as the value it showed.</numerusform>
            <numerusform>%n cells&apos; formulas refer to what their files do not hold (they would show #REF!): they were kept as the values they showed.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>新Sheet表里有%n个单元格的公式引用的内容不在该表里（会显示#REF!），已保留为原来显示的值。</source>
        <translation>
            <numerusform>%n cell&apos;s formula in the new sheets refers to what its sheet does not hold (it would show #REF!): it was kept as the value it showed.</numerusform>
            <numerusform>%n cells&apos; formulas in the new sheets refer to what their sheets do not hold (they would show #REF!): they were kept as the values they showed.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>数据区域里有%n行整行为空，不分到任何文件。</source>
        <translation>
            <numerusform>%n row of the data area is entirely empty and goes to no file.</numerusform>
            <numerusform>%n rows of the data area are entirely empty and go to no file.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>数据区域里有%n行整行为空，不分到任何新Sheet表。</source>
        <translation>
            <numerusform>%n row of the data area is entirely empty and goes to no new sheet.</numerusform>
            <numerusform>%n rows of the data area are entirely empty and go to no new sheet.</numerusform>
        </translation>
    </message>
    <message>
        <source>保留引用内容不在新表里的公式（会显示#REF!）</source>
        <translation>Keep formulas referring to what the new sheet does not hold (they show #REF!)</translation>
    </message>
</context>
<context>
    <name>UpdateFunKiv</name>
    <message>
        <source>新版本为：%1
是否现在就打开主页下载新版本？
主页：%2</source>
        <translation>The new version is %1.
Open the home page now to download it?
Home page: %2</translation>
    </message>
    <message>
        <source>发现新版本</source>
        <translation>A new version is available</translation>
    </message>
    <message>
        <source>不再提醒此版本</source>
        <translation>Don&apos;t remind me of this version</translation>
    </message>
</context>
<context>
    <name>WorkbookImport</name>
    <message>
        <source>请选择Excel文件</source>
        <translation>Choose an Excel file</translation>
    </message>
    <message>
        <source>请选择Excel2003文件</source>
        <translation>Choose an Excel 2003 file</translation>
    </message>
    <message>
        <source>Excel Files (*.xls *.xlsx)</source>
        <translation>Excel Files (*.xls *.xlsx)</translation>
    </message>
    <message>
        <source>Excel Files (*.xls)</source>
        <translation>Excel Files (*.xls)</translation>
    </message>
    <message>
        <source>电子表格文件 (*.xls *.xlsx *.ods)</source>
        <translation>Spreadsheet files (*.xls *.xlsx *.ods)</translation>
    </message>
    <message>
        <source>所有文件 (*)</source>
        <translation>All files (*)</translation>
    </message>
    <message>
        <source>%1只能以只读方式打开（所在文件夹不能写入，或文件正被其他程序占用），处理结果将无法保存。请先关闭占用它的程序，或把它复制到可以写入的文件夹后重新导入。</source>
        <translation>%1 can only be opened read-only (its folder is not writable, or another program is using the file), so the results could not be saved. Close the program that is using it, or copy it to a writable folder, then import it again.</translation>
    </message>
</context>
<context>
    <name>WorkerPool</name>
    <message>
        <source>处理这个工作簿的进程意外退出了，结果没有保存。</source>
        <translation>The process working on this workbook quit unexpectedly; the results were not saved.</translation>
    </message>
</context>
<context>
    <name>splitExcelFromSheets</name>
    <message>
        <source>“目标文件”不存在，请重新选择。</source>
        <translation>The “target file” does not exist; please choose it again.</translation>
    </message>
    <message>
        <source>“目标文件夹”不存在，请重新选择。</source>
        <translation>The “output folder” does not exist; please choose it again.</translation>
    </message>
    <message>
        <source>无法在导出文件夹%1里写入文件。</source>
        <translation>Cannot write files in the output folder %1.</translation>
    </message>
    <message>
        <source>以下工作表的文件名与后面的工作表相同，它们的文件被替换了：
%1
</source>
        <translation>These sheets have the same file name as a later sheet, so their files were replaced:
%1
</translation>
    </message>
    <message>
        <source>以下工作表的文件没能写入：
%1
</source>
        <translation>The files of these sheets could not be written:
%1
</translation>
    </message>
    <message>
        <source>注意：还没处理完毕，但您选择了退出，部分处理结果已经保存在输出目录内了，请自行查看</source>
        <translation>Note: you stopped before the work was finished; the partial results have been saved in the output folder, have a look there</translation>
    </message>
    <message>
        <source>输出格式</source>
        <translation>Output format</translation>
    </message>
    <message>
        <source>与原文件相同</source>
        <translation>Same as the original</translation>
    </message>
    <message>
        <source>.csv（UTF-8，显示的值）</source>
        <translation>.csv (UTF-8, values as shown)</translation>
    </message>
    <message>
        <source>跳过隐藏的工作表</source>
        <translation>Skip hidden sheets</translation>
    </message>
    <message>
        <source>KivExcel工具箱：Excel表格拆分器</source>
        <translation>KivExcel Toolbox: Excel Sheet Splitter</translation>
    </message>
    <message>
        <source>功能：将目标文件里的每个工作表分别保存为单独的文件，并存放于导出文件夹内。</source>
        <translation>Each sheet of the workbook becomes a file in the output folder.</translation>
    </message>
    <message>
        <source>导入目标文件：</source>
        <translation>Workbook…</translation>
    </message>
    <message>
        <source>选择导出文件夹：</source>
        <translation>Folder…</translation>
    </message>
    <message>
        <source>注意：如果导出文件夹里有和表名相同的文件，将会覆盖掉。</source>
        <translation>Note: files in the output folder named like a sheet are overwritten.</translation>
    </message>
    <message>
        <source>开始处理</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>没有文件保存到目录%1。</source>
        <translation>No file was saved to the folder %1.</translation>
    </message>
    <message>
        <source>其余文件已经保存，请打开目录%1查看。</source>
        <translation>The other files have been saved; open the folder %1 to see them.</translation>
    </message>
    <message>
        <source>处理完毕请打开目录%1查看。</source>
        <translation>Done. Open the folder %1 to see the files.</translation>
    </message>
    <message>
        <source>正在处理中，请不要操作其他Excel文件。</source>
        <translation>Working. Please leave other Excel files alone until it is done.</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>保存失败</source>
        <translation>saving failed</translation>
    </message>
    <message>
        <source>导出的文件打不开</source>
        <translation>the exported file does not open</translation>
    </message>
    <message>
        <source>目标文件在处理中被其他程序改动了</source>
        <translation>another program changed the workbook while it was being split</translation>
    </message>
    <message>
        <source>其他工作表无法删除（工作簿结构可能受保护）</source>
        <translation>the other sheets could not be deleted (the workbook&apos;s structure may be protected)</translation>
    </message>
    <message>
        <source>“%1”（被“%2”的文件替换）</source>
        <translation>“%1” (replaced by the file of “%2”)</translation>
    </message>
    <message>
        <source>导出文件就是目标文件本身，目标文件不会被覆盖</source>
        <translation>the exported file would be the target file itself, which is never overwritten</translation>
    </message>
    <message>
        <source>无法替换导出文件夹里的同名文件%1</source>
        <translation>cannot replace the file of the same name in the output folder, %1</translation>
    </message>
    <message>
        <source>无法写入文件%1</source>
        <translation>cannot write the file %1</translation>
    </message>
    <message>
        <source>“%1”：%2</source>
        <translation>“%1”: %2</translation>
    </message>
    <message>
        <source>电子表格程序没能把以下内容带到写出的文件里：%1。</source>
        <extracomment>The list is of features such as frozen panes or pivot tables.</extracomment>
        <translation>The spreadsheet program could not carry these into the written files: %1.</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message numerus="yes">
        <source>%n个单元格的公式引用了其他工作表，在单独的文件里保留为它们显示的值。</source>
        <translation>
            <numerusform>%n cell&apos;s formula points at another sheet; in the separate file it keeps the value it showed.</numerusform>
            <numerusform>%n cells&apos; formulas point at other sheets; in the separate files they keep the values they showed.</numerusform>
        </translation>
    </message>
    <message>
        <source>保留引用其他工作表的公式（文件里会显示#REF!）</source>
        <translation>Keep formulas that point at other sheets (the files will show #REF!)</translation>
    </message>
    <message>
        <source>这个工作簿的宏按名字认识它的每个工作表，电子表格程序因此在每个写出的文件里为其他工作表留下了空白的占位工作表（__VBA__0、__VBA__1……），可以删除。</source>
        <translation>This workbook&apos;s macros know each of its sheets by name, so the spreadsheet program left an empty placeholder sheet (__VBA__0, __VBA__1, …) in every written file for the other sheets; they can be deleted.</translation>
    </message>
    <message>
        <source>单元格%1等的公式引用了其他工作表，工作表受密码保护，无法在单独的文件里保留它们的值</source>
        <translation>formulas from cell %1 on point at other sheets, and the sheet is protected with a password: their values cannot be kept in a file of its own</translation>
    </message>
    <message numerus="yes">
        <source>%n个数据透视表的源数据在其他工作表，在单独的文件里保留为它们显示的值。</source>
        <translation>
            <numerusform>%n pivot table takes its data from another sheet and is kept as the values it showed in its file.</numerusform>
            <numerusform>%n pivot tables take their data from other sheets and are kept as the values they showed in their files.</numerusform>
        </translation>
    </message>
    <message>
        <source>电子表格程序中途退出，这个工作表的文件没有写入</source>
        <translation>the spreadsheet application ended before this sheet&apos;s file was written</translation>
    </message>
</context>
</TS>

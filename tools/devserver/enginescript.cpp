#include "enginescript.h"

#include "devkeys.h"

namespace {

const char* const normalAnswer = R"(## 关于「%1」

这是 **Lumora 本地演示服务** 的回答，用来检查 Markdown 的显示效果。This answer is *streamed* piece by piece.

### 要点

1. **流式输出**：每个片段都包含到目前为止的全部答案。
2. **思考过程**：深度思考模式下，推理过程与答案分开显示。
3. 支持 *斜体*、`行内代码` 和 [链接](https://example.com/lumora)。

- 无序列表项 A
- 无序列表项 B

### 示例代码

```cpp
#include <iostream>

int main()
{
    std::cout << "你好, Lumora!" << std::endl;
    return 0;
}
```

| 模式 | 深度思考 | 联网搜索 |
|---|---|---|
| 0 | 否 | 否 |
| 1 | 是 | 否 |
| 2 | 否 | 是 |
| 3 | 是 | 是 |

> 以上内容由演示服务生成，仅供测试。)";

const char* const normalReasoning =
    "用户问的是「%1」。我先确认问题的意思，再整理要点：标题、列表、代码示例和一张表格，"
    "最后附上参考链接。Let me write a well-structured answer.";

QString longAnswer(const QString& question)
{
    QString text = QStringLiteral("# 长篇回答：%1\n\n").arg(question);
    for (int section = 1; section <= 300; ++section) {
        text += QStringLiteral("## 第 %1 节\n\n").arg(section);
        text += QStringLiteral("这一节用 **很长的答案** 检查滚动与渲染的表现。"
                               "Lorem ipsum dolor sit amet, consectetur adipiscing elit.\n\n"
                               "- 条目一\n- 条目二\n\n");
    }
    return text;
}

int pieceLength(EngineScript::Length length, bool reasoning)
{
    switch (length) {
    case EngineScript::Length::Short:
        return 4;
    case EngineScript::Length::Long:
        return 2048;
    case EngineScript::Length::Normal:
        break;
    }
    return reasoning ? 6 : 8;
}

} // namespace

namespace EngineScript {

QString answer(const QString& question, Length length)
{
    switch (length) {
    case Length::Short:
        return QStringLiteral("你好，世界🌍!");
    case Length::Long:
        return longAnswer(question);
    case Length::Normal:
        break;
    }
    return QString::fromUtf8(normalAnswer).arg(question);
}

QString reasoning(const QString& question, Length length)
{
    if (length == Length::Short)
        return QStringLiteral("想一想…好");
    return QString::fromUtf8(normalReasoning).arg(question);
}

QVector<QString> prefixes(const QString& text, int pieceLength)
{
    QVector<QString> result;
    int end = 0;
    while (end < text.size()) {
        end = qMin(end + pieceLength, text.size());
        // Never end a piece between the two halves of a surrogate pair.
        if (end < text.size() && text.at(end).isLowSurrogate())
            ++end;
        result.append(text.left(end));
    }
    return result;
}

QVector<QByteArray> answerBlocks(const EngineStream& stream, int mode, Length length)
{
    const QString question = stream.request().question;
    const bool stats = !stream.isCompact();
    QVector<QByteArray> blocks {stream.echo(false)};
    if (stats)
        blocks.append(stream.tokenStat(0, false));
    if (DevKeys::isDeepThinking(mode)) {
        const QVector<QString> steps =
            prefixes(reasoning(question, length), pieceLength(length, true));
        for (int i = 0; i < steps.size(); ++i)
            blocks.append(stream.thought(steps.at(i), i + 1 == steps.size()));
    }
    const QVector<QString> pieces = prefixes(answer(question, length), pieceLength(length, false));
    for (int i = 0; i < pieces.size(); ++i) {
        const bool final = i + 1 == pieces.size();
        if (final && DevKeys::isOnlineSearch(mode))
            blocks.append(stream.reference());
        blocks.append(stream.reply(pieces.at(i), final));
        if (stats && !final && i % 10 == 9)
            blocks.append(stream.tokenStat(pieces.at(i).size(), false));
    }
    if (stats)
        blocks.append(stream.tokenStat(pieces.constLast().size(), true));
    return blocks;
}

} // namespace EngineScript

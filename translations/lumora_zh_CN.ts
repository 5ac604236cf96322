<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>AnswerCodeBlock</name>
    <message>
        <source>code</source>
        <translation>代码</translation>
    </message>
</context>
<context>
    <name>ChatHistory</name>
    <message>
        <source>History</source>
        <translation>历史记录</translation>
    </message>
    <message>
        <source>Conversations</source>
        <translation>对话列表</translation>
    </message>
    <message>
        <source>Conversation title</source>
        <translation>对话标题</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>搜索</translation>
    </message>
    <message>
        <source>Search the conversations</source>
        <translation>搜索对话</translation>
    </message>
    <message>
        <source>Searching…</source>
        <translation>正在搜索…</translation>
    </message>
    <message>
        <source>No conversation found</source>
        <translation>没有找到对话</translation>
    </message>
    <message>
        <source>The conversation could not be deleted.</source>
        <translation>无法删除该对话。</translation>
    </message>
    <message>
        <source>Export the conversation</source>
        <translation>导出对话</translation>
    </message>
    <message>
        <source>Delete the conversation</source>
        <translation>删除对话</translation>
    </message>
</context>
<context>
    <name>ChatPanel</name>
    <message>
        <source>History</source>
        <translation>历史记录</translation>
    </message>
    <message>
        <source>Fold the chat</source>
        <translation>收起对话</translation>
    </message>
    <message>
        <source>Keep on top</source>
        <translation>置顶</translation>
    </message>
</context>
<context>
    <name>ChatToolbar</name>
    <message>
        <source>Reason(R1)</source>
        <translation>深度思考(R1)</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>联网搜索</translation>
    </message>
    <message>
        <source>Copy the answer</source>
        <translation>复制回答</translation>
    </message>
    <message>
        <source>Regenerate the answer</source>
        <translation>重新生成回答</translation>
    </message>
    <message>
        <source>New chat</source>
        <translation>新对话</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Lumora: press the AI key of your keyboard and ask the AI in a chat bar.</source>
        <translation>Lumora：按下键盘上的 AI 键，在对话栏中向 AI 提问。</translation>
    </message>
    <message>
        <source>Shows this help and exits.</source>
        <translation>显示此帮助并退出。</translation>
    </message>
    <message>
        <source>Shows the version and exits.</source>
        <translation>显示版本号并退出。</translation>
    </message>
    <message>
        <source>Unknown option: %1</source>
        <translation>未知选项：%1</translation>
    </message>
    <message>
        <source>Try &quot;lumora --help&quot;.</source>
        <translation>请尝试 “lumora --help”。</translation>
    </message>
    <message>
        <source>Lumora takes no file or word arguments: %1</source>
        <translation>Lumora 不接受文件或文字参数：%1</translation>
    </message>
</context>
<context>
    <name>ConversationExporter</name>
    <message>
        <source>Question</source>
        <translation>问题</translation>
    </message>
    <message>
        <source>Answer</source>
        <translation>回答</translation>
    </message>
    <message>
        <source>Reasoning</source>
        <translation>思考过程</translation>
    </message>
</context>
<context>
    <name>CopyCodeButton</name>
    <message>
        <source>Copy code</source>
        <translation>复制代码</translation>
    </message>
    <message>
        <source>Copied</source>
        <translation>已复制</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>复制</translation>
    </message>
</context>
<context>
    <name>DeleteConfirmation</name>
    <message>
        <source>Delete “%1”?</source>
        <translation>删除“%1”？</translation>
    </message>
    <message>
        <source>The conversation and its file are removed for good.</source>
        <translation>该对话及其文件将被永久删除。</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
</context>
<context>
    <name>DialogManager</name>
    <message>
        <source>Generating response...</source>
        <translation>正在生成回答...</translation>
    </message>
    <message>
        <source>Network error, please check your connection.</source>
        <translation>网络错误，请检查网络连接。</translation>
    </message>
    <message>
        <source>I&apos;m sorry, I can&apos;t provide this information. If you have any other questions or need help with anything else, I’d be happy to assist!:)</source>
        <translation>抱歉，我无法提供该信息。如果您有其他问题或需要其他帮助，我很乐意为您解答！:)</translation>
    </message>
    <message>
        <source>The server is busy, please try again later.</source>
        <translation>服务器繁忙，请稍后再试。</translation>
    </message>
    <message>
        <source>The answer was stopped.</source>
        <translation>回答已停止。</translation>
    </message>
</context>
<context>
    <name>DialogPanel</name>
    <message>
        <source>Conversation</source>
        <translation>对话</translation>
    </message>
    <message>
        <source>Reason: </source>
        <translation>思考：</translation>
    </message>
</context>
<context>
    <name>ExportFileDialog</name>
    <message>
        <source>Export the conversation</source>
        <translation>导出对话</translation>
    </message>
    <message>
        <source>Markdown (*.md)</source>
        <translation>Markdown 文件 (*.md)</translation>
    </message>
    <message>
        <source>Conversation</source>
        <translation>对话</translation>
    </message>
</context>
<context>
    <name>GuideWindow</name>
    <message>
        <source>Wake-up reminder</source>
        <translation>唤醒提示</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Via keyboard [AI key]</source>
        <translation>通过键盘【AI键】</translation>
    </message>
    <message>
        <source>Quickly wake up AI function</source>
        <translation>快速唤醒AI功能</translation>
    </message>
</context>
<context>
    <name>InputBar</name>
    <message>
        <source>Assistant</source>
        <translation>助手</translation>
    </message>
    <message>
        <source>Please enter your content</source>
        <translation>请输入您的内容</translation>
    </message>
    <message>
        <source>The balance is insufficient, please top up as soon as possible</source>
        <translation>余额不足，请尽快充值</translation>
    </message>
    <message>
        <source>Please connect the device first and activate the AI ​​function</source>
        <translation>请先连接设备并激活AI功能</translation>
    </message>
    <message>
        <source>Question</source>
        <translation>问题</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>发送</translation>
    </message>
    <message numerus="yes">
        <source>%n question(s) left</source>
        <translation>
            <numerusform>剩余 %n 次提问</numerusform>
        </translation>
    </message>
    <message>
        <source>Stop the answer</source>
        <translation>停止回答</translation>
    </message>
</context>
<context>
    <name>MainView</name>
    <message>
        <source>Please enter your content</source>
        <translation type="vanished">请输入您的内容</translation>
    </message>
    <message>
        <source>The balance is insufficient, please top up as soon as possible</source>
        <translation type="vanished">余额不足，请尽快充值</translation>
    </message>
    <message>
        <source>Assistant</source>
        <translation type="vanished">助手</translation>
    </message>
    <message>
        <source>Please connect the device first and activate the AI ​​function</source>
        <translation type="vanished">请先连接设备并激活AI功能</translation>
    </message>
    <message>
        <source>Question</source>
        <translation type="vanished">问题</translation>
    </message>
    <message>
        <source>Send</source>
        <translation type="vanished">发送</translation>
    </message>
    <message>
        <source>Open the chat</source>
        <translation>打开对话</translation>
    </message>
    <message>
        <source>History</source>
        <translation type="vanished">历史记录</translation>
    </message>
    <message>
        <source>Fold the chat</source>
        <translation type="vanished">收起对话</translation>
    </message>
    <message>
        <source>Keep on top</source>
        <translation type="vanished">置顶</translation>
    </message>
    <message>
        <source>Reason(R1)</source>
        <translation type="vanished">深度思考(R1)</translation>
    </message>
    <message>
        <source>Search</source>
        <translation type="vanished">联网搜索</translation>
    </message>
    <message>
        <source>Copy the answer</source>
        <translation type="vanished">复制回答</translation>
    </message>
    <message>
        <source>Regenerate the answer</source>
        <translation type="vanished">重新生成回答</translation>
    </message>
    <message>
        <source>New chat</source>
        <translation type="vanished">新对话</translation>
    </message>
    <message>
        <source>Exported to %1</source>
        <translation>已导出到 %1</translation>
    </message>
    <message>
        <source>Could not export to %1</source>
        <translation>无法导出到 %1</translation>
    </message>
</context>
<context>
    <name>OvSeverHandler</name>
    <message>
        <source>Network connection error</source>
        <translation>网络连接错误</translation>
    </message>
    <message>
        <source>msg error</source>
        <translation>消息错误</translation>
    </message>
</context>
<context>
    <name>RefusedNetworkReply</name>
    <message>
        <source>Network access is disabled here: %1</source>
        <translation>此处已禁止网络访问：%1</translation>
    </message>
</context>
<context>
    <name>SettingsPage</name>
    <message>
        <source>设置</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>LumoraAI</source>
        <translation>LumoraAI</translation>
    </message>
    <message>
        <source>当前版本V</source>
        <translation>当前版本V</translation>
    </message>
    <message>
        <source>AI模型使用次数</source>
        <translation>AI模型使用次数</translation>
    </message>
    <message>
        <source>开机自启动</source>
        <translation>开机自启动</translation>
    </message>
    <message>
        <source>设置默认AI模型</source>
        <translation>设置默认AI模型</translation>
    </message>
    <message>
        <source>检查更新</source>
        <translation>检查更新</translation>
    </message>
</context>
<context>
    <name>SettingsPageManager</name>
    <message>
        <source>更新</source>
        <translation>更新</translation>
    </message>
    <message>
        <source>无可用更新.</source>
        <translation>无可用更新。</translation>
    </message>
</context>
<context>
    <name>TrayIconMenu</name>
    <message>
        <source>设置</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>退出</translation>
    </message>
</context>
<context>
    <name>firstDiaLog</name>
    <message>
        <source>user Agreement and Privacy Policy</source>
        <translation>用户协议与隐私政策</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>I have read and agreed to</source>
        <translation>我已阅读并同意</translation>
    </message>
    <message>
        <source>User Agreement</source>
        <translation>用户协议</translation>
    </message>
    <message>
        <source>Privacy Policy</source>
        <translation>隐私政策</translation>
    </message>
    <message>
        <source>cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>agree</source>
        <translation>同意</translation>
    </message>
</context>
</TS>

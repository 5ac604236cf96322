<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>AnswerCodeBlock</name>
    <message>
        <source>code</source>
        <translation>code</translation>
    </message>
</context>
<context>
    <name>ChatHistory</name>
    <message>
        <source>History</source>
        <translation>History</translation>
    </message>
    <message>
        <source>Conversations</source>
        <translation>Conversations</translation>
    </message>
    <message>
        <source>Conversation title</source>
        <translation>Conversation title</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>Search the conversations</source>
        <translation>Search the conversations</translation>
    </message>
    <message>
        <source>Searching…</source>
        <translation>Searching…</translation>
    </message>
    <message>
        <source>No conversation found</source>
        <translation>No conversation found</translation>
    </message>
    <message>
        <source>The conversation could not be deleted.</source>
        <translation>The conversation could not be deleted.</translation>
    </message>
    <message>
        <source>Export the conversation</source>
        <translation>Export the conversation</translation>
    </message>
    <message>
        <source>Delete the conversation</source>
        <translation>Delete the conversation</translation>
    </message>
</context>
<context>
    <name>ChatPanel</name>
    <message>
        <source>History</source>
        <translation>History</translation>
    </message>
    <message>
        <source>Fold the chat</source>
        <translation>Fold the chat</translation>
    </message>
    <message>
        <source>Keep on top</source>
        <translation>Keep on top</translation>
    </message>
</context>
<context>
    <name>ChatToolbar</name>
    <message>
        <source>Reason(R1)</source>
        <translation>Reason(R1)</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>Copy the answer</source>
        <translation>Copy the answer</translation>
    </message>
    <message>
        <source>Regenerate the answer</source>
        <translation>Regenerate the answer</translation>
    </message>
    <message>
        <source>New chat</source>
        <translation>New chat</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Lumora: press the AI key of your keyboard and ask the AI in a chat bar.</source>
        <translation>Lumora: press the AI key of your keyboard and ask the AI in a chat bar.</translation>
    </message>
    <message>
        <source>Shows this help and exits.</source>
        <translation>Shows this help and exits.</translation>
    </message>
    <message>
        <source>Shows the version and exits.</source>
        <translation>Shows the version and exits.</translation>
    </message>
    <message>
        <source>Unknown option: %1</source>
        <translation>Unknown option: %1</translation>
    </message>
    <message>
        <source>Try &quot;lumora --help&quot;.</source>
        <translation>Try &quot;lumora --help&quot;.</translation>
    </message>
    <message>
        <source>Lumora takes no file or word arguments: %1</source>
        <translation>Lumora takes no file or word arguments: %1</translation>
    </message>
</context>
<context>
    <name>ConversationExporter</name>
    <message>
        <source>Question</source>
        <translation>Question</translation>
    </message>
    <message>
        <source>Answer</source>
        <translation>Answer</translation>
    </message>
    <message>
        <source>Reasoning</source>
        <translation>Reasoning</translation>
    </message>
</context>
<context>
    <name>CopyCodeButton</name>
    <message>
        <source>Copy code</source>
        <translation>Copy code</translation>
    </message>
    <message>
        <source>Copied</source>
        <translation>Copied</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copy</translation>
    </message>
</context>
<context>
    <name>DeleteConfirmation</name>
    <message>
        <source>Delete “%1”?</source>
        <translation>Delete “%1”?</translation>
    </message>
    <message>
        <source>The conversation and its file are removed for good.</source>
        <translation>The conversation and its file are removed for good.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Delete</translation>
    </message>
</context>
<context>
    <name>DialogManager</name>
    <message>
        <source>Generating response...</source>
        <translation>Generating response...</translation>
    </message>
    <message>
        <source>Network error, please check your connection.</source>
        <translation>Network error, please check your connection.</translation>
    </message>
    <message>
        <source>I&apos;m sorry, I can&apos;t provide this information. If you have any other questions or need help with anything else, I’d be happy to assist!:)</source>
        <translation>I&apos;m sorry, I can&apos;t provide this information. If you have any other questions or need help with anything else, I’d be happy to assist!:)</translation>
    </message>
    <message>
        <source>The server is busy, please try again later.</source>
        <translation>The server is busy, please try again later.</translation>
    </message>
    <message>
        <source>The answer was stopped.</source>
        <translation>The answer was stopped.</translation>
    </message>
</context>
<context>
    <name>DialogPanel</name>
    <message>
        <source>Conversation</source>
        <translation>Conversation</translation>
    </message>
    <message>
        <source>Reason: </source>
        <translation>Reason: </translation>
    </message>
</context>
<context>
    <name>ExportFileDialog</name>
    <message>
        <source>Export the conversation</source>
        <translation>Export the conversation</translation>
    </message>
    <message>
        <source>Markdown (*.md)</source>
        <translation>Markdown (*.md)</translation>
    </message>
    <message>
        <source>Conversation</source>
        <translation>Conversation</translation>
    </message>
</context>
<context>
    <name>GuideWindow</name>
    <message>
        <source>Wake-up reminder</source>
        <translation>Wake-up reminder</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Via keyboard [AI key]</source>
        <translation>Via keyboard [AI key]: </translation>
    </message>
    <message>
        <source>Quickly wake up AI function</source>
        <translation>Quickly wake up AI function</translation>
    </message>
</context>
<context>
    <name>InputBar</name>
    <message>
        <source>Assistant</source>
        <translation>Assistant</translation>
    </message>
    <message>
        <source>Please enter your content</source>
        <translation>Please enter your content</translation>
    </message>
    <message>
        <source>The balance is insufficient, please top up as soon as possible</source>
        <translation>The balance is insufficient, please top up as soon as possible</translation>
    </message>
    <message>
        <source>Please connect the device first and activate the AI ​​function</source>
        <translation>Please connect the device first and activate the AI ​​function</translation>
    </message>
    <message>
        <source>Question</source>
        <translation>Question</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>Send</translation>
    </message>
    <message numerus="yes">
        <source>%n question(s) left</source>
        <translation>
            <numerusform>%n question left</numerusform>
            <numerusform>%n questions left</numerusform>
        </translation>
    </message>
    <message>
        <source>Stop the answer</source>
        <translation>Stop the answer</translation>
    </message>
</context>
<context>
    <name>MainView</name>
    <message>
        <source>Please enter your content</source>
        <translation type="vanished">Please enter your content</translation>
    </message>
    <message>
        <source>The balance is insufficient, please top up as soon as possible</source>
        <translation type="vanished">The balance is insufficient, please top up as soon as possible</translation>
    </message>
    <message>
        <source>Assistant</source>
        <translation type="vanished">Assistant</translation>
    </message>
    <message>
        <source>Please connect the device first and activate the AI ​​function</source>
        <translation type="vanished">Please connect the device first and activate the AI ​​function</translation>
    </message>
    <message>
        <source>Question</source>
        <translation type="vanished">Question</translation>
    </message>
    <message>
        <source>Send</source>
        <translation type="vanished">Send</translation>
    </message>
    <message>
        <source>Open the chat</source>
        <translation>Open the chat</translation>
    </message>
    <message>
        <source>History</source>
        <translation type="vanished">History</translation>
    </message>
    <message>
        <source>Fold the chat</source>
        <translation type="vanished">Fold the chat</translation>
    </message>
    <message>
        <source>Keep on top</source>
        <translation type="vanished">Keep on top</translation>
    </message>
    <message>
        <source>Reason(R1)</source>
        <translation type="vanished">Reason(R1)</translation>
    </message>
    <message>
        <source>Search</source>
        <translation type="vanished">Search</translation>
    </message>
    <message>
        <source>Copy the answer</source>
        <translation type="vanished">Copy the answer</translation>
    </message>
    <message>
        <source>Regenerate the answer</source>
        <translation type="vanished">Regenerate the answer</translation>
    </message>
    <message>
        <source>New chat</source>
        <translation type="vanished">New chat</translation>
    </message>
    <message>
        <source>Exported to %1</source>
        <translation>Exported to %1</translation>
    </message>
    <message>
        <source>Could not export to %1</source>
        <translation>Could not export to %1</translation>
    </message>
</context>
<context>
    <name>OvSeverHandler</name>
    <message>
        <source>Network connection error</source>
        <translation>Network connection error</translation>
    </message>
    <message>
        <source>msg error</source>
        <translation>msg error</translation>
    </message>
</context>
<context>
    <name>RefusedNetworkReply</name>
    <message>
        <source>Network access is disabled here: %1</source>
        <translation>Network access is disabled here: %1</translation>
    </message>
</context>
<context>
    <name>SettingsPage</name>
    <message>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>LumoraAI</source>
        <translation>LumoraAI</translation>
    </message>
    <message>
        <source>当前版本V</source>
        <translation>Current version V</translation>
    </message>
    <message>
        <source>AI模型使用次数</source>
        <translation>AI model usage</translation>
    </message>
    <message>
        <source>开机自启动</source>
        <translation>Start with the computer</translation>
    </message>
    <message>
        <source>设置默认AI模型</source>
        <translation>Default AI model</translation>
    </message>
    <message>
        <source>检查更新</source>
        <translation>Check for updates</translation>
    </message>
</context>
<context>
    <name>SettingsPageManager</name>
    <message>
        <source>更新</source>
        <translation>Update</translation>
    </message>
    <message>
        <source>无可用更新.</source>
        <translation>No updates available.</translation>
    </message>
</context>
<context>
    <name>TrayIconMenu</name>
    <message>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
</context>
<context>
    <name>firstDiaLog</name>
    <message>
        <source>user Agreement and Privacy Policy</source>
        <translation>User Agreement and Privacy Policy</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>I have read and agreed to</source>
        <translation>I have read and agreed to</translation>
    </message>
    <message>
        <source>User Agreement</source>
        <translation>User Agreement</translation>
    </message>
    <message>
        <source>Privacy Policy</source>
        <translation>Privacy Policy</translation>
    </message>
    <message>
        <source>cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>agree</source>
        <translation>Agree</translation>
    </message>
</context>
</TS>

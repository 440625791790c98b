<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>AboutForm</name>
    <message>
        <source>关于-Orvane网络电视</source>
        <translation>About - Orvane TV</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Orvane网络电视</source>
        <translation>Orvane TV</translation>
    </message>
    <message>
        <source>本程序是一款免费的网络电视直播软件，</source>
        <translation>A free program for watching live</translation>
    </message>
    <message>
        <source>提供国内卫视、央视、地方台、数字频</source>
        <translation>network TV: national, regional,</translation>
    </message>
    <message>
        <source>道、港澳台以及国外频道在线直播，感</source>
        <translation>digital and international channels.</translation>
    </message>
    <message>
        <source>谢您的使用！</source>
        <translation>Thank you for using it!</translation>
    </message>
    <message>
        <source>官方网站：</source>
        <translation>Website: </translation>
    </message>
</context>
<context>
    <name>ClientConfig</name>
    <message>
        <source>Orvane网络电视</source>
        <translation type="unfinished">Orvane TV</translation>
    </message>
</context>
<context>
    <name>EngineRefusal</name>
    <message>
        <source>Orvane网络电视不能以 root 身份运行：网页引擎在 root 下不能启用沙箱。请以普通用户身份启动；如确需以 root 运行，请设置环境变量 QTWEBENGINE_DISABLE_SANDBOX=1，网页将在没有沙箱的情况下运行。</source>
        <translation>Orvane TV cannot run as root: its web engine cannot use its sandbox for root. Start it as an ordinary user; to run it as root all the same, set QTWEBENGINE_DISABLE_SANDBOX=1 and the pages run without the sandbox.</translation>
    </message>
    <message>
        <source>Orvane网络电视</source>
        <translation>Orvane TV</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>MainWindow</source>
        <translation>MainWindow</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>发现新的版本，点此升级</source>
        <translation>New version: update</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body style=&quot; font-family:&apos;宋体&apos;; font-size:9pt;&quot;&gt;&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px;&quot;&gt;&lt;span style=&quot; color:#ffffff;&quot;&gt;发现新的版本，&lt;/span&gt;&lt;a href=&quot;update&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#ffffff;&quot;&gt;点此升级&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body style=&quot; font-family:&apos;sans-serif&apos;; font-size:9pt;&quot;&gt;&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px;&quot;&gt;&lt;span style=&quot; color:#ffffff;&quot;&gt;New version: &lt;/span&gt;&lt;a href=&quot;update&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#ffffff;&quot;&gt;update&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>滚动文字</source>
        <translation>Scrolling text</translation>
    </message>
    <message>
        <source>换肤</source>
        <translation>Skin</translation>
    </message>
    <message>
        <source>最小化</source>
        <translation>Minimise</translation>
    </message>
    <message>
        <source>当前版本:1.0.1.21121</source>
        <translation>Version 1.0.1.21121</translation>
    </message>
    <message>
        <source>Orvane网络电视</source>
        <translation>Orvane TV</translation>
    </message>
    <message>
        <source>应用</source>
        <translation>Apps</translation>
    </message>
    <message>
        <source>直播</source>
        <translation>Live</translation>
    </message>
    <message>
        <source>回看</source>
        <translation>Replay</translation>
    </message>
    <message>
        <source>点播</source>
        <translation>On demand</translation>
    </message>
    <message>
        <source>官方网站</source>
        <translation>Website</translation>
    </message>
    <message>
        <source>立即升级</source>
        <translation>Update</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Orvane网络电视 有新的版本可用！</source>
        <translation>A new Orvane TV is available!</translation>
    </message>
    <message>
        <source>新版特性：</source>
        <translation>Notes:</translation>
    </message>
    <message>
        <source>是否更新到最新版本？</source>
        <translation>Update to the newest version?</translation>
    </message>
    <message>
        <source>当前版本:</source>
        <translation>Version </translation>
    </message>
    <message>
        <source> 显示窗口</source>
        <translation> Show window</translation>
    </message>
    <message>
        <source> 退出程序</source>
        <translation> Quit</translation>
    </message>
    <message>
        <source> 关于我们</source>
        <translation> About</translation>
    </message>
    <message>
        <source> 官方网站</source>
        <translation> Website</translation>
    </message>
    <message>
        <source> 意见反馈</source>
        <translation> Feedback</translation>
    </message>
    <message>
        <source>&lt;!doctype html&gt;&lt;html&gt;&lt;head&gt;&lt;meta charset=&quot;utf-8&quot;&gt;&lt;title&gt;Orvane&lt;/title&gt;&lt;/head&gt;&lt;body style=&quot;margin:0;background:#0b2a55;color:#e8f0ff;font:14px sans-serif;display:flex;align-items:center;justify-content:center;height:100vh&quot;&gt;&lt;div style=&quot;text-align:center&quot;&gt;&lt;p style=&quot;font-size:20px&quot;&gt;页面暂时无法显示&lt;/p&gt;&lt;p&gt;请检查网络连接后重新选择频道。如果问题依旧，请重新安装本程序。&lt;/p&gt;&lt;/div&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;!doctype html&gt;&lt;html&gt;&lt;head&gt;&lt;meta charset=&quot;utf-8&quot;&gt;&lt;title&gt;Orvane&lt;/title&gt;&lt;/head&gt;&lt;body style=&quot;margin:0;background:#0b2a55;color:#e8f0ff;font:14px sans-serif;display:flex;align-items:center;justify-content:center;height:100vh&quot;&gt;&lt;div style=&quot;text-align:center&quot;&gt;&lt;p style=&quot;font-size:20px&quot;&gt;The page cannot be shown at the moment&lt;/p&gt;&lt;p&gt;Check the network connection and choose the channel again. If that does not help, reinstall the program.&lt;/p&gt;&lt;/div&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source> 在线升级</source>
        <translation> Update</translation>
    </message>
    <message>
        <source>正在检查更新...</source>
        <translation>Checking for updates...</translation>
    </message>
    <message>
        <source> 在线升级程序</source>
        <translation> Updater</translation>
    </message>
    <message>
        <source>无法连接到更新服务器。</source>
        <translation>Cannot reach the update server.</translation>
    </message>
    <message>
        <source>网络连接一再中断。</source>
        <translation>The connection keeps breaking.</translation>
    </message>
    <message>
        <source>服务器拒绝提供更新包。</source>
        <translation>The server refused the package.</translation>
    </message>
    <message>
        <source>无法保存更新包，磁盘空间可能不足。</source>
        <translation>Cannot save the package; the disk may be full.</translation>
    </message>
    <message>
        <source>更新包未通过校验。</source>
        <translation>The package failed its check.</translation>
    </message>
    <message>
        <source>获取更新信息失败</source>
        <translation>No update information</translation>
    </message>
    <message>
        <source>恭喜，已经是最新版本！</source>
        <translation>This is the newest version!</translation>
    </message>
    <message>
        <source> 有新的更新可用！</source>
        <translation> has an update!</translation>
    </message>
    <message>
        <source>是否立即升级到最新版?</source>
        <translation>Update to the new version?</translation>
    </message>
    <message>
        <source>正在下载更新文件...</source>
        <translation>Downloading the update...</translation>
    </message>
    <message>
        <source>连接中断，正在重试…</source>
        <translation>Connection lost, retrying…</translation>
    </message>
    <message>
        <source>%1，剩余 %2</source>
        <translation>%1, %2 left</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>正在下载更新包，确定要取消吗?</source>
        <translation>The update is downloading. Cancel it?</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>下载更新包失败！</source>
        <translation>Downloading the update failed!</translation>
    </message>
    <message>
        <source>下载完成，正在启动更新…</source>
        <translation>Downloaded; starting the update…</translation>
    </message>
    <message>
        <source>无法启动更新包！</source>
        <translation>Cannot start the update package!</translation>
    </message>
    <message>
        <source>无法启动更新包，请手动运行：
%1</source>
        <translation>Cannot start the update package; please run it yourself:
%1</translation>
    </message>
</context>
<context>
    <name>PopForm</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>QWebEnginePage</name>
    <message>
        <source>Are you sure you want to leave this page? Changes that you made may not be saved.</source>
        <translation>Are you sure you want to leave this page? Changes that you made may not be saved.</translation>
    </message>
</context>
<context>
    <name>Release</name>
    <message>
        <source>未内置更新密钥，不能升级</source>
        <translation>No update key built in: no updates</translation>
    </message>
    <message>
        <source>更新信息未签名，已拒绝</source>
        <translation>Unsigned update: refused</translation>
    </message>
    <message>
        <source>更新签名格式错误，已拒绝</source>
        <translation>Malformed signature: refused</translation>
    </message>
    <message>
        <source>更新信息格式错误，已拒绝</source>
        <translation>Malformed update: refused</translation>
    </message>
    <message>
        <source>更新签名密钥未知，已拒绝</source>
        <translation>Unknown signing key: refused</translation>
    </message>
    <message>
        <source>更新签名不符，已拒绝</source>
        <translation>Bad signature: refused</translation>
    </message>
    <message>
        <source>版本号与签名不符，已拒绝</source>
        <translation>Version not as signed: refused</translation>
    </message>
    <message>
        <source>更新信息已过期，已拒绝</source>
        <translation>Expired update: refused</translation>
    </message>
    <message>
        <source>不允许降级到旧版本</source>
        <translation>Older version: not allowed</translation>
    </message>
    <message>
        <source>更新包大小不符，已删除</source>
        <translation>Wrong package size: deleted</translation>
    </message>
    <message>
        <source>更新包校验失败，已删除</source>
        <translation>Package check failed: deleted</translation>
    </message>
</context>
<context>
    <name>SkinForm</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>更换皮肤</source>
        <translation>Change skin</translation>
    </message>
    <message>
        <source>皮肤：蓝色</source>
        <translation>Skin: blue</translation>
    </message>
    <message>
        <source>当前皮肤</source>
        <translation>Current skin</translation>
    </message>
    <message>
        <source>皮肤：金属</source>
        <translation>Skin: metal</translation>
    </message>
    <message>
        <source>皮肤：黑色</source>
        <translation>Skin: black</translation>
    </message>
    <message>
        <source>皮肤：木纹</source>
        <translation>Skin: wood</translation>
    </message>
    <message>
        <source>皮肤：灰黑</source>
        <translation>Skin: charcoal</translation>
    </message>
    <message>
        <source>皮肤：祥云</source>
        <translation>Skin: clouds</translation>
    </message>
    <message>
        <source>皮肤：水滴</source>
        <translation>Skin: drops</translation>
    </message>
    <message>
        <source>皮肤：绿色</source>
        <translation>Skin: green</translation>
    </message>
    <message>
        <source>皮肤：爱心</source>
        <translation>Skin: hearts</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>TransferText</name>
    <message>
        <source>%1 秒</source>
        <translation>关于-Orvane网络电视&lt;/source&gt;
        &lt;translation&gt;About - Orvane TV&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;确定&lt;/source&gt;
        &lt;translation&gt;OK&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;关闭&lt;/source&gt;
        &lt;translation&gt;Close&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Orvane网络电视&lt;/source&gt;
        &lt;translation&gt;Orvane TV&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;本程序是一款免费的网络电视直播软件，&lt;/source&gt;
        &lt;translation&gt;A free program for watching live&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;提供国内卫视、央视、地方台、数字频&lt;/source&gt;
        &lt;translation&gt;network TV: national, regional,&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;道、港澳台以及国外频道在线直播，感&lt;/source&gt;
        &lt;translation&gt;digital and international channels.&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;谢您的使用！&lt;/source&gt;
        &lt;translation&gt;Thank you for using it!&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;官方网站：&lt;/source&gt;
        &lt;translation&gt;Website: &lt;/translation&gt;
    &lt;/message&gt;
&lt;/context&gt;
&lt;context&gt;
    &lt;name&gt;ClientConfig&lt;/name&gt;
    &lt;message&gt;
        &lt;source&gt;Orvane网络电视&lt;/source&gt;
        &lt;translation type=&quot;unfinished&quot;&gt;Orvane TV&lt;/translation&gt;
    &lt;/message&gt;
&lt;/context&gt;
&lt;context&gt;
    &lt;name&gt;EngineRefusal&lt;/name&gt;
    &lt;message&gt;
        &lt;source&gt;Orvane网络电视不能以 root 身份运行：网页引擎在 root 下不能启用沙箱。请以普通用户身份启动；如确需以 root 运行，请设置环境变量 QTWEBENGINE_DISABLE_SANDBOX=1，网页将在没有沙箱的情况下运行。&lt;/source&gt;
        &lt;translation&gt;Orvane TV cannot run as root: its web engine cannot use its sandbox for root. Start it as an ordinary user; to run it as root all the same, set QTWEBENGINE_DISABLE_SANDBOX=1 and the pages run without the sandbox.&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Orvane网络电视&lt;/source&gt;
        &lt;translation&gt;Orvane TV&lt;/translation&gt;
    &lt;/message&gt;
&lt;/context&gt;
&lt;context&gt;
    &lt;name&gt;MainWindow&lt;/name&gt;
    &lt;message&gt;
        &lt;source&gt;MainWindow&lt;/source&gt;
        &lt;translation&gt;MainWindow&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;关闭&lt;/source&gt;
        &lt;translation&gt;Close&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;New version: update&lt;/source&gt;
        &lt;translation&gt;New version: update&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;&lt;html&gt;&lt;head/&gt;&lt;body style=&quot; font-family:&apos;sans-serif&apos;; font-size:9pt;&quot;&gt;&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px;&quot;&gt;&lt;span style=&quot; color:#ffffff;&quot;&gt;New version: &lt;/span&gt;&lt;a href=&quot;update&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#ffffff;&quot;&gt;update&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;&lt;/source&gt;
        &lt;translation&gt;&lt;html&gt;&lt;head/&gt;&lt;body style=&quot; font-family:&apos;sans-serif&apos;; font-size:9pt;&quot;&gt;&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px;&quot;&gt;&lt;span style=&quot; color:#ffffff;&quot;&gt;New version: &lt;/span&gt;&lt;a href=&quot;update&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#ffffff;&quot;&gt;update&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;滚动文字&lt;/source&gt;
        &lt;translation&gt;Scrolling text&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;换肤&lt;/source&gt;
        &lt;translation&gt;Skin&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;最小化&lt;/source&gt;
        &lt;translation&gt;Minimise&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;当前版本:1.0.1.21121&lt;/source&gt;
        &lt;translation&gt;Version 1.0.1.21121&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Orvane网络电视&lt;/source&gt;
        &lt;translation&gt;Orvane TV&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;应用&lt;/source&gt;
        &lt;translation&gt;Apps&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;直播&lt;/source&gt;
        &lt;translation&gt;Live&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;回看&lt;/source&gt;
        &lt;translation&gt;Replay&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;点播&lt;/source&gt;
        &lt;translation&gt;On demand&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;官方网站&lt;/source&gt;
        &lt;translation&gt;Website&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;立即升级&lt;/source&gt;
        &lt;translation&gt;Update&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;取消&lt;/source&gt;
        &lt;translation&gt;Cancel&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Orvane网络电视 有新的版本可用！&lt;/source&gt;
        &lt;translation&gt;A new Orvane TV is available!&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;新版特性：&lt;/source&gt;
        &lt;translation&gt;Notes:&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;是否更新到最新版本？&lt;/source&gt;
        &lt;translation&gt;Update to the newest version?&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;当前版本:&lt;/source&gt;
        &lt;translation&gt;Version &lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt; 显示窗口&lt;/source&gt;
        &lt;translation&gt; Show window&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt; 退出程序&lt;/source&gt;
        &lt;translation&gt; Quit&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt; 关于我们&lt;/source&gt;
        &lt;translation&gt; About&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt; 官方网站&lt;/source&gt;
        &lt;translation&gt; Website&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt; 意见反馈&lt;/source&gt;
        &lt;translation&gt; Feedback&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;&lt;!doctype html&gt;&lt;html&gt;&lt;head&gt;&lt;meta charset=&quot;utf-8&quot;&gt;&lt;title&gt;Orvane&lt;/title&gt;&lt;/head&gt;&lt;body style=&quot;margin:0;background:#0b2a55;color:#e8f0ff;font:14px sans-serif;display:flex;align-items:center;justify-content:center;height:100vh&quot;&gt;&lt;div style=&quot;text-align:center&quot;&gt;&lt;p style=&quot;font-size:20px&quot;&gt;The page cannot be shown at the moment&lt;/p&gt;&lt;p&gt;Check the network connection and choose the channel again. If that does not help, reinstall the program.&lt;/p&gt;&lt;/div&gt;&lt;/body&gt;&lt;/html&gt;&lt;/source&gt;
        &lt;translation&gt;&lt;!doctype html&gt;&lt;html&gt;&lt;head&gt;&lt;meta charset=&quot;utf-8&quot;&gt;&lt;title&gt;Orvane&lt;/title&gt;&lt;/head&gt;&lt;body style=&quot;margin:0;background:#0b2a55;color:#e8f0ff;font:14px sans-serif;display:flex;align-items:center;justify-content:center;height:100vh&quot;&gt;&lt;div style=&quot;text-align:center&quot;&gt;&lt;p style=&quot;font-size:20px&quot;&gt;The page cannot be shown at the moment&lt;/p&gt;&lt;p&gt;Check the network connection and choose the channel again. If that does not help, reinstall the program.&lt;/p&gt;&lt;/div&gt;&lt;/body&gt;&lt;/html&gt;&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt; 在线升级&lt;/source&gt;
        &lt;translation&gt; Update&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;正在检查更新...&lt;/source&gt;
        &lt;translation&gt;Checking for updates...&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt; 在线升级程序&lt;/source&gt;
        &lt;translation&gt; Updater&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;无法连接到更新服务器。&lt;/source&gt;
        &lt;translation&gt;Cannot reach the update server.&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;网络连接一再中断。&lt;/source&gt;
        &lt;translation&gt;The connection keeps breaking.&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;服务器拒绝提供更新包。&lt;/source&gt;
        &lt;translation&gt;The server refused the package.&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;无法保存更新包，磁盘空间可能不足。&lt;/source&gt;
        &lt;translation&gt;Cannot save the package; the disk may be full.&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;更新包未通过校验。&lt;/source&gt;
        &lt;translation&gt;The package failed its check.&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;获取更新信息失败&lt;/source&gt;
        &lt;translation&gt;No update information&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;恭喜，已经是最新版本！&lt;/source&gt;
        &lt;translation&gt;This is the newest version!&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt; 有新的更新可用！&lt;/source&gt;
        &lt;translation&gt; has an update!&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;是否立即升级到最新版?&lt;/source&gt;
        &lt;translation&gt;Update to the new version?&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;正在下载更新文件...&lt;/source&gt;
        &lt;translation&gt;Downloading the update...&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;连接中断，正在重试…&lt;/source&gt;
        &lt;translation&gt;Connection lost, retrying…&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;%1，剩余 %2&lt;/source&gt;
        &lt;translation&gt;%1, %2 left&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;提示&lt;/source&gt;
        &lt;translation&gt;Notice&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;正在下载更新包，确定要取消吗?&lt;/source&gt;
        &lt;translation&gt;The update is downloading. Cancel it?&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;确定&lt;/source&gt;
        &lt;translation&gt;OK&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;下载更新包失败！&lt;/source&gt;
        &lt;translation&gt;Downloading the update failed!&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;下载完成，正在启动更新…&lt;/source&gt;
        &lt;translation&gt;Downloaded; starting the update…&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;无法启动更新包！&lt;/source&gt;
        &lt;translation&gt;Cannot start the update package!&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;无法启动更新包，请手动运行：
%1&lt;/source&gt;
        &lt;translation&gt;Cannot start the update package; please run it yourself:
%1&lt;/translation&gt;
    &lt;/message&gt;
&lt;/context&gt;
&lt;context&gt;
    &lt;name&gt;PopForm&lt;/name&gt;
    &lt;message&gt;
        &lt;source&gt;Form&lt;/source&gt;
        &lt;translation&gt;Form&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;关闭&lt;/source&gt;
        &lt;translation&gt;Close&lt;/translation&gt;
    &lt;/message&gt;
&lt;/context&gt;
&lt;context&gt;
    &lt;name&gt;QWebEnginePage&lt;/name&gt;
    &lt;message&gt;
        &lt;source&gt;Are you sure you want to leave this page? Changes that you made may not be saved.&lt;/source&gt;
        &lt;translation&gt;Are you sure you want to leave this page? Changes that you made may not be saved.&lt;/translation&gt;
    &lt;/message&gt;
&lt;/context&gt;
&lt;context&gt;
    &lt;name&gt;Release&lt;/name&gt;
    &lt;message&gt;
        &lt;source&gt;未内置更新密钥，不能升级&lt;/source&gt;
        &lt;translation&gt;No update key built in: no updates&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;更新信息未签名，已拒绝&lt;/source&gt;
        &lt;translation&gt;Unsigned update: refused&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;更新签名格式错误，已拒绝&lt;/source&gt;
        &lt;translation&gt;Malformed signature: refused&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;更新信息格式错误，已拒绝&lt;/source&gt;
        &lt;translation&gt;Malformed update: refused&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;更新签名密钥未知，已拒绝&lt;/source&gt;
        &lt;translation&gt;Unknown signing key: refused&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;更新签名不符，已拒绝&lt;/source&gt;
        &lt;translation&gt;Bad signature: refused&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;版本号与签名不符，已拒绝&lt;/source&gt;
        &lt;translation&gt;Version not as signed: refused&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;更新信息已过期，已拒绝&lt;/source&gt;
        &lt;translation&gt;Expired update: refused&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;不允许降级到旧版本&lt;/source&gt;
        &lt;translation&gt;Older version: not allowed&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;更新包大小不符，已删除&lt;/source&gt;
        &lt;translation&gt;Wrong package size: deleted&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;更新包校验失败，已删除&lt;/source&gt;
        &lt;translation&gt;Package check failed: deleted&lt;/translation&gt;
    &lt;/message&gt;
&lt;/context&gt;
&lt;context&gt;
    &lt;name&gt;SkinForm&lt;/name&gt;
    &lt;message&gt;
        &lt;source&gt;Form&lt;/source&gt;
        &lt;translation&gt;Form&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;更换皮肤&lt;/source&gt;
        &lt;translation&gt;Change skin&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;皮肤：蓝色&lt;/source&gt;
        &lt;translation&gt;Skin: blue&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;当前皮肤&lt;/source&gt;
        &lt;translation&gt;Current skin&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;皮肤：金属&lt;/source&gt;
        &lt;translation&gt;Skin: metal&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;皮肤：黑色&lt;/source&gt;
        &lt;translation&gt;Skin: black&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;皮肤：木纹&lt;/source&gt;
        &lt;translation&gt;Skin: wood&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;皮肤：灰黑&lt;/source&gt;
        &lt;translation&gt;Skin: charcoal&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;皮肤：祥云&lt;/source&gt;
        &lt;translation&gt;Skin: clouds&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;皮肤：水滴&lt;/source&gt;
        &lt;translation&gt;Skin: drops&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;皮肤：绿色&lt;/source&gt;
        &lt;translation&gt;Skin: green&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;皮肤：爱心&lt;/source&gt;
        &lt;translation&gt;Skin: hearts&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;关闭&lt;/source&gt;
        &lt;translation&gt;Close&lt;/translation&gt;
    &lt;/message&gt;
&lt;/context&gt;
&lt;context&gt;
    &lt;name&gt;TransferText&lt;/name&gt;
    &lt;message&gt;
        &lt;source&gt;%1 秒</translation>
    </message>
    <message>
        <source>%1 分 %2 秒</source>
        <translation>%1 min %2 s</translation>
    </message>
    <message>
        <source>%1 小时 %2 分</source>
        <translation>%1 h %2 min</translation>
    </message>
</context>
<context>
    <name>Updator</name>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>检查到新的版本，是否立即升级?</source>
        <translation>A new version is available. Update now?</translation>
    </message>
    <message>
        <source>当前版本：%1
新版本：%2</source>
        <translation>Current version: %1
New version: %2</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
</TS>

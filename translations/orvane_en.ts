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
        <translation>Orvane TV</translation>
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
    <name>FolderInstall</name>
    <message>
        <source>另一个更新正在安装，请稍后再试。</source>
        <translation>Another update is being installed. Please try again later.</translation>
    </message>
    <message>
        <source>程序文件夹属于用户 %1，当前用户无法写入，无法安装更新。请联系 %1 或管理员更新。</source>
        <translation>The program folder belongs to the user %1 and cannot be written by you, so the update cannot be installed. Ask %1 or an administrator to update.</translation>
    </message>
    <message>
        <source>更新包已损坏或不是程序安装包，未做任何更改。</source>
        <translation>The update package is damaged or not a program package. Nothing was changed.</translation>
    </message>
    <message>
        <source>更新包含有不安全的内容，已拒绝安装。</source>
        <translation>The update package holds unsafe content and was refused.</translation>
    </message>
    <message>
        <source>磁盘空间不足，无法安装更新，未做任何更改。</source>
        <translation>There is not enough disk space to install the update. Nothing was changed.</translation>
    </message>
    <message>
        <source>无法写入程序文件夹，未做任何更改。</source>
        <translation>The program folder cannot be written. Nothing was changed.</translation>
    </message>
    <message>
        <source>更新包中的程序版本与发布的版本不符，已拒绝安装。</source>
        <translation>The programs in the update package are not of the released version; the package was refused.</translation>
    </message>
    <message>
        <source>无法替换程序文件夹，未做任何更改。</source>
        <translation>The program folder could not be replaced. Nothing was changed.</translation>
    </message>
    <message>
        <source>其他用户也可以写入程序所在的文件夹 %1，无法安全地安装更新。请把程序移到只有您能写入的文件夹中。</source>
        <translation>Other users can write to %1, the folder that holds the program, so the update cannot be installed safely. Move the program to a folder that only you can write to.</translation>
    </message>
</context>
<context>
    <name>FolderUpdate</name>
    <message>
        <source>正在准备新版本…</source>
        <translation>Preparing the new version…</translation>
    </message>
    <message>
        <source>正在安装新版本…</source>
        <translation>Installing the new version…</translation>
    </message>
    <message>
        <source>客户端没有退出，更新已取消，当前版本继续运行。</source>
        <translation>The client did not quit: the update was cancelled and the current version keeps running.</translation>
    </message>
    <message>
        <source>新版本无法启动，已恢复原版本。</source>
        <translation>The new version could not start; the previous version has been restored.</translation>
    </message>
    <message>
        <source>新版本无法启动，原版本将在下次启动时恢复。</source>
        <translation>The new version could not start; the previous version will be restored at the next start.</translation>
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
        <translation type="vanished">&lt;!doctype html&gt;&lt;html&gt;&lt;head&gt;&lt;meta charset=&quot;utf-8&quot;&gt;&lt;title&gt;Orvane&lt;/title&gt;&lt;/head&gt;&lt;body style=&quot;margin:0;background:#0b2a55;color:#e8f0ff;font:14px sans-serif;display:flex;align-items:center;justify-content:center;height:100vh&quot;&gt;&lt;div style=&quot;text-align:center&quot;&gt;&lt;p style=&quot;font-size:20px&quot;&gt;The page cannot be shown at the moment&lt;/p&gt;&lt;p&gt;Check the network connection and choose the channel again. If that does not help, reinstall the program.&lt;/p&gt;&lt;/div&gt;&lt;/body&gt;&lt;/html&gt;</translation>
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
        <source>下载速度过慢，已暂停。</source>
        <translation>The download is too slow; paused.</translation>
    </message>
    <message>
        <source>下载目录中有不属于更新的链接或文件，已拒绝写入。</source>
        <translation>A link or a file not of the update lies in the download folder: refused.</translation>
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
    <message>
        <source>%1 仍在系统托盘中运行，单击托盘图标即可恢复窗口。</source>
        <translation>%1 keeps running in the system tray. Click the tray icon to bring the window back.</translation>
    </message>
    <message>
        <source>没有找到系统的软件更新服务（PackageKit）。请在终端中运行下面两条命令完成升级，命令已复制到剪贴板：</source>
        <translation>The system&apos;s software update service (PackageKit) was not found. Run these two commands in a terminal to upgrade; they have been copied to the clipboard:</translation>
    </message>
    <message>
        <source>升级完成，请重新打开 Orvane网络电视。</source>
        <translation>Upgrade finished. Please open Orvane TV again.</translation>
    </message>
</context>
<context>
    <name>PageArea</name>
    <message>
        <source>&lt;!doctype html&gt;&lt;html&gt;&lt;head&gt;&lt;meta charset=&quot;utf-8&quot;&gt;&lt;title&gt;Orvane&lt;/title&gt;&lt;/head&gt;&lt;body style=&quot;margin:0;background:#0b2a55;color:#e8f0ff;font:14px sans-serif;display:flex;align-items:center;justify-content:center;height:100vh&quot;&gt;&lt;div style=&quot;text-align:center&quot;&gt;&lt;p style=&quot;font-size:20px&quot;&gt;页面暂时无法显示&lt;/p&gt;&lt;p&gt;请检查网络连接后重新选择频道。如果问题依旧，请重新安装本程序。&lt;/p&gt;&lt;/div&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;!doctype html&gt;&lt;html&gt;&lt;head&gt;&lt;meta charset=&quot;utf-8&quot;&gt;&lt;title&gt;Orvane&lt;/title&gt;&lt;/head&gt;&lt;body style=&quot;margin:0;background:#0b2a55;color:#e8f0ff;font:14px sans-serif;display:flex;align-items:center;justify-content:center;height:100vh&quot;&gt;&lt;div style=&quot;text-align:center&quot;&gt;&lt;p style=&quot;font-size:20px&quot;&gt;The page cannot be shown at the moment&lt;/p&gt;&lt;p&gt;Check the network connection and choose the channel again. If that does not help, reinstall the program.&lt;/p&gt;&lt;/div&gt;&lt;/body&gt;&lt;/html&gt;</translation>
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
        <source>更新信息有效期过长，已拒绝</source>
        <translation>Update valid for too long: refused</translation>
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
    <name>SystemPackage</name>
    <message>
        <source>升级完成，正在启动新版本…</source>
        <translation>Upgrade finished, starting the new version…</translation>
    </message>
    <message>
        <source>系统没有软件更新服务，请用命令升级</source>
        <translation>No software update service on this system: upgrade with the commands</translation>
    </message>
    <message>
        <source>未获得管理员授权，没有升级。</source>
        <translation>The administrator did not authorize it: nothing was upgraded.</translation>
    </message>
    <message>
        <source>升级已取消。</source>
        <translation>Upgrade cancelled.</translation>
    </message>
    <message>
        <source>软件源中还没有版本 %1，请稍后再试。</source>
        <translation>The repository does not have version %1 yet. Please try again later.</translation>
    </message>
    <message>
        <source>软件源的签名无法验证，没有升级。</source>
        <translation>The repository&apos;s signature could not be verified: nothing was upgraded.</translation>
    </message>
    <message>
        <source>无法连接软件源，没有升级。</source>
        <translation>Cannot reach the repository: nothing was upgraded.</translation>
    </message>
    <message>
        <source>系统正在安装其他软件，请稍后再试。</source>
        <translation>The system is installing other software. Please try again later.</translation>
    </message>
    <message>
        <source>升级失败。</source>
        <translation>The upgrade failed.</translation>
    </message>
    <message>
        <source>正在刷新软件源…</source>
        <translation>Refreshing the package lists…</translation>
    </message>
    <message>
        <source>正在查找新版本…</source>
        <translation>Looking for the new version…</translation>
    </message>
    <message>
        <source>正在等待管理员授权…</source>
        <translation>Waiting for the administrator&apos;s authorization…</translation>
    </message>
    <message>
        <source>正在等待其他软件安装结束…</source>
        <translation>Waiting for another installation to finish…</translation>
    </message>
    <message>
        <source>正在下载新版本…</source>
        <translation>Downloading the new version…</translation>
    </message>
    <message>
        <source>正在安装新版本…</source>
        <translation>Installing the new version…</translation>
    </message>
    <message>
        <source>正在取消…</source>
        <translation>Cancelling…</translation>
    </message>
    <message>
        <source>正在准备升级…</source>
        <translation>Preparing the upgrade…</translation>
    </message>
</context>
<context>
    <name>SystemUpgrade</name>
    <message>
        <source>系统的软件更新服务在升级结束前停止了。</source>
        <translation>The system&apos;s software update service stopped before the upgrade finished.</translation>
    </message>
</context>
<context>
    <name>TransferText</name>
    <message>
        <source>%1 秒</source>
        <translation>%1 s</translation>
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

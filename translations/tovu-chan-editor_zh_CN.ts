<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>BulkEditMenu</name>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
</context>
<context>
    <name>Channel</name>
    <message>
        <source>Parent Lock</source>
        <translation>家长锁</translation>
    </message>
    <message>
        <source>UnLock</source>
        <translation>未加锁</translation>
    </message>
    <message>
        <source>Locked</source>
        <translation>加锁</translation>
    </message>
    <message>
        <source>Subtitle</source>
        <translation>字幕</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>关</translation>
    </message>
    <message>
        <source>On</source>
        <translation>开</translation>
    </message>
    <message>
        <source>Descrambled</source>
        <translation>解扰</translation>
    </message>
    <message>
        <source>Not</source>
        <translation>否</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>是</translation>
    </message>
    <message>
        <source>Prog type</source>
        <translation>节目类型</translation>
    </message>
    <message>
        <source>TV</source>
        <translation>电视</translation>
    </message>
    <message>
        <source>Radio</source>
        <translation>广播</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>未知</translation>
    </message>
    <message>
        <source>Service Id:</source>
        <translation>业务ID：</translation>
    </message>
    <message>
        <source>Transponder Id:</source>
        <translation>传输流ID：</translation>
    </message>
    <message>
        <source>Original Net Id:</source>
        <translation>原始网络ID：</translation>
    </message>
    <message>
        <source>QAM:</source>
        <translation>调制方式：</translation>
    </message>
    <message>
        <source>No.</source>
        <translation>序号</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>Service Id</source>
        <translation>业务ID</translation>
    </message>
    <message>
        <source>Transponder Id</source>
        <translation>传输流ID</translation>
    </message>
    <message>
        <source>Original Net Id</source>
        <translation>原始网络ID</translation>
    </message>
    <message>
        <source>Frequency</source>
        <translation>频率</translation>
    </message>
    <message>
        <source>SymRate</source>
        <translation>符号率</translation>
    </message>
    <message>
        <source>Qam</source>
        <translation>调制方式</translation>
    </message>
    <message>
        <source>Audio Track</source>
        <translation>声道</translation>
    </message>
    <message>
        <source>UnLocked</source>
        <translation>未加锁</translation>
    </message>
    <message>
        <source>Left</source>
        <translation>左声道</translation>
    </message>
    <message>
        <source>Right</source>
        <translation>右声道</translation>
    </message>
    <message>
        <source>Stereo</source>
        <translation>立体声</translation>
    </message>
    <message>
        <source>Mono</source>
        <translation>单声道</translation>
    </message>
    <message>
        <source>No</source>
        <translation>否</translation>
    </message>
    <message>
        <source>Unkownn</source>
        <translation>未知</translation>
    </message>
    <message>
        <source>16QAM</source>
        <translation>16QAM</translation>
    </message>
    <message>
        <source>32QAM</source>
        <translation>32QAM</translation>
    </message>
    <message>
        <source>64QAM</source>
        <translation>64QAM</translation>
    </message>
    <message>
        <source>128QAM</source>
        <translation>128QAM</translation>
    </message>
    <message>
        <source>256QAM</source>
        <translation>256QAM</translation>
    </message>
    <message>
        <source>Unknown QAM</source>
        <translation>未知调制</translation>
    </message>
    <message>
        <source>%1 KHz</source>
        <translation>%1 KHz</translation>
    </message>
    <message>
        <source>%1 Kbs</source>
        <translation>%1 KS/s</translation>
    </message>
</context>
<context>
    <name>DialogPrompts</name>
    <message>
        <source>Open</source>
        <translation>打开</translation>
    </message>
</context>
<context>
    <name>Editor</name>
    <message>
        <source>Tovu Cable Channel Editor</source>
        <translation>Tovu 有线电视频道编辑器</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Windows communicate port init failed.</source>
        <translation>网络通信端口初始化失败。</translation>
    </message>
    <message>
        <source>Please select the channel want to Edit!</source>
        <translation>请选择要编辑的频道！</translation>
    </message>
    <message>
        <source>Please select the channel want to Del!</source>
        <translation>请选择要删除的频道！</translation>
    </message>
    <message>
        <source>There are not channels in list, Please Load DB First!</source>
        <translation>列表中没有频道，请先载入频道数据库！</translation>
    </message>
    <message>
        <source>Save Change</source>
        <translation>保存修改</translation>
    </message>
    <message>
        <source>Quit without Save</source>
        <translation>不保存退出</translation>
    </message>
    <message>
        <source>Channel List:</source>
        <translation>频道列表：</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>All Files (*.*)</source>
        <translation>所有文件 (*.*)</translation>
    </message>
    <message>
        <source>channel database(*.kdat)</source>
        <translation>频道数据库(*.kdat)</translation>
    </message>
    <message>
        <source>provider frequency list(*.xml)</source>
        <translation>运营商频点表(*.xml)</translation>
    </message>
    <message>
        <source>receiver backup(*.kdat *.bin)</source>
        <translation>机顶盒备份(*.kdat *.bin)</translation>
    </message>
    <message>
        <source>“请删除无法保存的字符：%1”</source>
        <translation>“请删除无法保存的字符：%1”</translation>
    </message>
    <message>
        <source>Fail to open DB!</source>
        <translation>无法打开数据库文件！</translation>
    </message>
    <message>
        <source>Invalid DB File!</source>
        <translation>无效的数据库文件！</translation>
    </message>
    <message>
        <source>Fail to write DB!</source>
        <translation>写入数据库文件失败！</translation>
    </message>
    <message>
        <source>Please Fill Ip address of server!</source>
        <translation>请填写机顶盒的IP地址！</translation>
    </message>
    <message>
        <source>Not enough memory!</source>
        <translation>内存不足！</translation>
    </message>
    <message>
        <source>Cannot connect to STB, Please check!</source>
        <translation>无法连接机顶盒，请检查！</translation>
    </message>
    <message>
        <source>Download chan information completed!</source>
        <translation>频道数据下载完成！</translation>
    </message>
    <message>
        <source>Upload chan DB completed</source>
        <translation>频道数据库上传完成</translation>
    </message>
    <message>
        <source>The backup of the receiver&apos;s %1 failed. Nothing was uploaded.</source>
        <translation>备份机顶盒中的%1失败，未上传任何数据。</translation>
    </message>
    <message>
        <source>The backup of the receiver&apos;s %1 could not be saved in %2. Nothing was uploaded.</source>
        <translation>机顶盒中%1的备份无法保存到 %2，未上传任何数据。</translation>
    </message>
    <message>
        <source>Your previous %1 is saved in %2.</source>
        <translation>原来的%1已备份到 %2。</translation>
    </message>
    <message>
        <source>The upload could not be read back to check it. Your previous %1 is saved in %2.</source>
        <translation>无法读回上传的数据进行校验。原来的%1已备份到 %2。</translation>
    </message>
    <message>
        <source>The receiver holds different data than was sent. Your previous %1 is saved in %2.</source>
        <translation>机顶盒中的数据与发送的数据不一致。原来的%1已备份到 %2。</translation>
    </message>
    <message>
        <source>channel list</source>
        <translation>频道列表</translation>
    </message>
    <message>
        <source>provider list</source>
        <translation>运营商频点表</translation>
    </message>
    <message>
        <source>Replace in names</source>
        <translation>替换频道名称</translation>
    </message>
</context>
<context>
    <name>Import</name>
    <message>
        <source>%1; %2</source>
        <translation>%1；%2</translation>
    </message>
    <message>
        <source>%1 of %2 service</source>
        <translation>%2 个节目中的 %1 个</translation>
    </message>
    <message>
        <source>%1 of %2 services</source>
        <translation>%2 个节目中的 %1 个</translation>
    </message>
    <message>
        <source>%1 favourite list</source>
        <translation>%1 个收藏列表</translation>
    </message>
    <message>
        <source>%1 favourite lists</source>
        <translation>%1 个收藏列表</translation>
    </message>
    <message>
        <source>%1 list loses services that do not fit</source>
        <translation>%1 个列表中有节目未能导入</translation>
    </message>
    <message>
        <source>%1 lists lose services that do not fit</source>
        <translation>%1 个列表中有节目未能导入</translation>
    </message>
    <message>
        <source>%1 ticked bouquet beyond the 21st not imported</source>
        <translation>第 21 个之后勾选的 %1 个节目组未导入</translation>
    </message>
    <message>
        <source>%1 ticked bouquets beyond the 21st not imported</source>
        <translation>第 21 个之后勾选的 %1 个节目组未导入</translation>
    </message>
    <message>
        <source>%1 of %2 service imported</source>
        <translation>已导入 %2 个节目中的 %1 个</translation>
    </message>
    <message>
        <source>%1 of %2 services imported</source>
        <translation>已导入 %2 个节目中的 %1 个</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1，%2</translation>
    </message>
    <message>
        <source>%1 list</source>
        <translation>%1 个列表</translation>
    </message>
    <message>
        <source>%1 lists</source>
        <translation>%1 个列表</translation>
    </message>
</context>
<context>
    <name>tovu::ui::AboutDialog</name>
    <message>
        <source>Channel database editor for the cable set-top box</source>
        <translation>有线电视机顶盒频道数据库编辑器</translation>
    </message>
    <message>
        <source>&amp;Ok</source>
        <translation>确定(&amp;O)</translation>
    </message>
    <message>
        <source>About Tovu C ChanEditor</source>
        <translation>关于 Tovu C ChanEditor</translation>
    </message>
</context>
<context>
    <name>tovu::ui::ChannelEditDialog</name>
    <message>
        <source>“请填入一个正整数。”</source>
        <translation>“请填入一个正整数。”</translation>
    </message>
    <message>
        <source>“请填入一个在%1和%2之间的整数。”</source>
        <translation>“请填入一个在%1和%2之间的整数。”</translation>
    </message>
    <message>
        <source>“请填入不多于%1个的字符。”</source>
        <translation>“请填入不多于%1个的字符。”</translation>
    </message>
    <message>
        <source>“已有频道使用这个Service Id和Transponder Id，请填入其他的值。”</source>
        <translation>“已有频道使用这个业务ID和传输流ID，请填入其他的值。”</translation>
    </message>
    <message>
        <source>“不能再添加频道：最多可以保存%1个频道。”</source>
        <translation>“不能再添加频道：最多可以保存%1个频道。”</translation>
    </message>
    <message>
        <source>Channel Edit</source>
        <translation>编辑频道</translation>
    </message>
    <message>
        <source>Quit Editor</source>
        <translation>退出编辑</translation>
    </message>
</context>
<context>
    <name>tovu::ui::EnigmaFolderDialog</name>
    <message>
        <source>Select folder ...</source>
        <translation>选择文件夹...</translation>
    </message>
</context>
<context>
    <name>tovu::ui::FavListEditorDialog</name>
    <message>
        <source>Fail to create new fav list. There are 21 fav lists already.</source>
        <translation>无法新建收藏列表，已经有 21 个收藏列表了。</translation>
    </message>
    <message>
        <source>The selected fav list is a default list, unable to delete!</source>
        <translation>所选的收藏列表是默认列表，不能删除！</translation>
    </message>
    <message>
        <source>Click [OK] to delete the selected fav list!</source>
        <translation>点击[确定]删除所选的收藏列表！</translation>
    </message>
    <message>
        <source>Fail to add the channel. There are 300 channels in the fav list already.</source>
        <translation>无法添加频道，该收藏列表中已经有 300 个频道了。</translation>
    </message>
    <message>
        <source>The fav lists have changes that are not saved. Save them before creating a new list?</source>
        <translation>收藏列表有未保存的修改。新建列表之前要保存吗？</translation>
    </message>
    <message>
        <source>The fav lists have changes that are not saved. Save them before deleting the list?</source>
        <translation>收藏列表有未保存的修改。删除列表之前要保存吗？</translation>
    </message>
    <message>
        <source>Fav List Editor</source>
        <translation>收藏列表编辑</translation>
    </message>
    <message>
        <source>New Name:</source>
        <translation>新名称：</translation>
    </message>
    <message>
        <source>Members only</source>
        <translation>只显示已收藏的频道</translation>
    </message>
    <message>
        <source>&amp;Create New List</source>
        <translation>新建列表(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Delete List</source>
        <translation>删除列表(&amp;D)</translation>
    </message>
    <message>
        <source>Fav</source>
        <translation>收藏</translation>
    </message>
    <message>
        <source>Edit Fav List</source>
        <translation>编辑收藏列表</translation>
    </message>
</context>
<context>
    <name>tovu::ui::FilterField</name>
    <message>
        <source>Filter</source>
        <translation>筛选</translation>
    </message>
</context>
<context>
    <name>tovu::ui::ImportChoicesDialog</name>
    <message>
        <source>Import Choices</source>
        <translation>导入选项</translation>
    </message>
    <message>
        <source>The folder holds</source>
        <translation>文件夹中包含</translation>
    </message>
    <message>
        <source>%1 cable, %2 satellite, %3 terrestrial</source>
        <translation>有线 %1，卫星 %2，地面 %3</translation>
    </message>
    <message>
        <source>, %1 other</source>
        <translation>，其他 %1</translation>
    </message>
    <message>
        <source>Services:</source>
        <translation>节目：</translation>
    </message>
    <message>
        <source>By delivery:</source>
        <translation>按传输方式：</translation>
    </message>
    <message>
        <source>TV / radio:</source>
        <translation>电视 / 广播：</translation>
    </message>
    <message>
        <source>%1 / %2</source>
        <translation>%1 / %2</translation>
    </message>
    <message>
        <source>Bouquets:</source>
        <translation>节目组：</translation>
    </message>
    <message>
        <source>%1 TV, %2 radio</source>
        <translation>电视 %1 个，广播 %2 个</translation>
    </message>
    <message>
        <source>Locked services:</source>
        <translation>加锁的节目：</translation>
    </message>
    <message>
        <source>Cable services only</source>
        <translation>只导入有线节目</translation>
    </message>
    <message>
        <source>Services of the ticked bouquets first</source>
        <translation>勾选的节目组中的节目排在前面</translation>
    </message>
    <message>
        <source>TV bouquet</source>
        <translation>电视节目组</translation>
    </message>
    <message>
        <source>Services</source>
        <translation>节目数</translation>
    </message>
    <message>
        <source>(no name)</source>
        <translation>（无名称）</translation>
    </message>
    <message>
        <source>TV bouquets that become favourite lists:</source>
        <translation>导入为收藏列表的电视节目组：</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>导入</translation>
    </message>
</context>
<context>
    <name>tovu::ui::MainEditorDialog</name>
    <message>
        <source>&amp;Edit</source>
        <translation>编辑(&amp;E)</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>撤销(&amp;U)</translation>
    </message>
    <message>
        <source>Re&amp;do</source>
        <translation>重做(&amp;D)</translation>
    </message>
    <message>
        <source>&amp;Edit Channel</source>
        <translation>编辑频道(&amp;E)</translation>
    </message>
    <message>
        <source>&amp;Del Channel</source>
        <translation>删除频道(&amp;D)</translation>
    </message>
    <message>
        <source>&amp;Add Channel</source>
        <translation>添加频道(&amp;A)</translation>
    </message>
    <message>
        <source>&amp;Resort Channel</source>
        <translation>频道排序(&amp;R)</translation>
    </message>
    <message>
        <source>Edit &amp;Fav List</source>
        <translation>编辑收藏列表(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Receiver</source>
        <translation>机顶盒(&amp;R)</translation>
    </message>
    <message>
        <source>Verify uploads</source>
        <translation>上传后校验</translation>
    </message>
    <message>
        <source>Restore Backup…</source>
        <translation>恢复备份…</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>帮助(&amp;H)</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>关于(&amp;A)</translation>
    </message>
    <message>
        <source>Stb Ip Address</source>
        <translation>机顶盒IP地址</translation>
    </message>
    <message>
        <source>Select File</source>
        <translation>选择文件</translation>
    </message>
    <message>
        <source>File Path:</source>
        <translation>文件路径：</translation>
    </message>
    <message>
        <source>Download Channel DataBase From Stb</source>
        <translation>从机顶盒下载频道数据库</translation>
    </message>
    <message>
        <source>File path to upload</source>
        <translation>要上传的文件路径</translation>
    </message>
    <message>
        <source>Upload Channel DataBase to STB</source>
        <translation>上传频道数据库到机顶盒</translation>
    </message>
    <message>
        <source>Provider Freq File:</source>
        <translation>运营商频点文件：</translation>
    </message>
    <message>
        <source>Upload Provider Freq to STB</source>
        <translation>上传运营商频点到机顶盒</translation>
    </message>
    <message>
        <source>Channel Informations</source>
        <translation>频道信息</translation>
    </message>
    <message>
        <source>&amp;Load Channel Info DB</source>
        <translation>载入频道数据库(&amp;L)</translation>
    </message>
    <message>
        <source>Load &amp;DreamBox Channel</source>
        <translation>载入DreamBox频道(&amp;D)</translation>
    </message>
    <message>
        <source>&amp;Save Change to DB</source>
        <translation>保存修改到数据库(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;Quit Editor</source>
        <translation>退出编辑器(&amp;Q)</translation>
    </message>
    <message>
        <source>Replace in names…</source>
        <translation>替换频道名称…</translation>
    </message>
    <message>
        <source>The channel database has changes that are not saved. Save them before quitting?</source>
        <translation>频道数据库有未保存的修改。退出之前要保存吗？</translation>
    </message>
    <message>
        <source>Load Channel Info DB</source>
        <translation>载入频道数据库</translation>
    </message>
    <message>
        <source>Load DreamBox Channel</source>
        <translation>载入DreamBox频道</translation>
    </message>
    <message>
        <source>Add Channel</source>
        <translation>添加频道</translation>
    </message>
    <message>
        <source>Edit Channel</source>
        <translation>编辑频道</translation>
    </message>
    <message>
        <source>Del Channel</source>
        <translation>删除频道</translation>
    </message>
</context>
<context>
    <name>tovu::ui::ReplaceNamesDialog</name>
    <message>
        <source>Replace</source>
        <translation>替换</translation>
    </message>
    <message>
        <source>Find:</source>
        <translation>查找：</translation>
    </message>
    <message>
        <source>Replace with:</source>
        <translation>替换为：</translation>
    </message>
    <message>
        <source>%1 of %2 selected names change</source>
        <translation>所选的 %2 个名称中有 %1 个将被修改</translation>
    </message>
</context>
<context>
    <name>tovu::ui::ResortDialog</name>
    <message>
        <source>Please select the channel want to Resort!</source>
        <translation>请选择要排序的频道！</translation>
    </message>
    <message>
        <source>Please Input new position want to move to!</source>
        <translation>请输入要移到的新位置！</translation>
    </message>
    <message>
        <source>New position vlaue must less than Channel Count!</source>
        <translation>新位置不能大于频道总数！</translation>
    </message>
    <message>
        <source>Fail..</source>
        <translation>失败……</translation>
    </message>
    <message>
        <source>请键入一个整数。</source>
        <translation>请键入一个整数。</translation>
    </message>
    <message>
        <source>TV List</source>
        <translation>电视列表</translation>
    </message>
    <message>
        <source>Radio List</source>
        <translation>广播列表</translation>
    </message>
    <message>
        <source>Data List</source>
        <translation>数据列表</translation>
    </message>
    <message>
        <source>Fav%1 List</source>
        <translation>Fav%1 列表</translation>
    </message>
    <message>
        <source>(no channel %1)</source>
        <translation>（无此频道 %1）</translation>
    </message>
    <message>
        <source>Resort Channel List</source>
        <translation>频道列表排序</translation>
    </message>
    <message>
        <source>Move Up</source>
        <translation>上移</translation>
    </message>
    <message>
        <source>Move Down</source>
        <translation>下移</translation>
    </message>
    <message>
        <source>Move To</source>
        <translation>移到</translation>
    </message>
    <message>
        <source>Resort %1</source>
        <translation>排序%1</translation>
    </message>
</context>
</TS>

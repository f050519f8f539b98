<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>BulkEditMenu</name>
    <message>
        <source>%1: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Channel</name>
    <message>
        <source>Parent Lock</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>UnLock</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Locked</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Subtitle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Off</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>On</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Descrambled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Yes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Prog type</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TV</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Radio</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Service Id:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Transponder Id:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Original Net Id:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>QAM:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Service Id</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Transponder Id</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Original Net Id</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Frequency</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SymRate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Qam</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Audio Track</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>UnLocked</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Right</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stereo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mono</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unkownn</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>16QAM</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>32QAM</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>64QAM</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>128QAM</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>256QAM</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unknown QAM</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 KHz</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 Kbs</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DialogPrompts</name>
    <message>
        <source>Open</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Editor</name>
    <message>
        <source>Tovu Cable Channel Editor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Message</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Windows communicate port init failed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please select the channel want to Edit!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please select the channel want to Del!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There are not channels in list, Please Load DB First!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Change</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quit without Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Channel List:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All Files (*.*)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>channel database(*.kdat)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>provider frequency list(*.xml)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>receiver backup(*.kdat *.bin)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“请删除无法保存的字符：%1”</source>
        <translation>Please remove the characters that cannot be stored: %1</translation>
    </message>
    <message>
        <source>Fail to open DB!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Invalid DB File!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to write DB!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please Fill Ip address of server!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not enough memory!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot connect to STB, Please check!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Download chan information completed!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Upload chan DB completed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The backup of the receiver&apos;s %1 failed. Nothing was uploaded.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The backup of the receiver&apos;s %1 could not be saved in %2. Nothing was uploaded.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your previous %1 is saved in %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The upload could not be read back to check it. Your previous %1 is saved in %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The receiver holds different data than was sent. Your previous %1 is saved in %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>channel list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>provider list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Replace in names</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Import</name>
    <message>
        <source>%1; %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 of %2 service</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 of %2 services</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 favourite list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 favourite lists</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 list loses services that do not fit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 lists lose services that do not fit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 ticked bouquet beyond the 21st not imported</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 ticked bouquets beyond the 21st not imported</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 of %2 service imported</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 of %2 services imported</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 lists</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>tovu::ui::AboutDialog</name>
    <message>
        <source>Channel database editor for the cable set-top box</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Ok</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About Tovu C ChanEditor</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>tovu::ui::ChannelEditDialog</name>
    <message>
        <source>“请填入一个正整数。”</source>
        <translation>Please enter a positive integer.</translation>
    </message>
    <message>
        <source>“请填入一个在%1和%2之间的整数。”</source>
        <translation>Please enter an integer between %1 and %2.</translation>
    </message>
    <message>
        <source>“请填入不多于%1个的字符。”</source>
        <translation>Please enter no more than %1 characters.</translation>
    </message>
    <message>
        <source>“已有频道使用这个Service Id和Transponder Id，请填入其他的值。”</source>
        <translation>Another channel already uses this Service Id and Transponder Id. Please enter other values.</translation>
    </message>
    <message>
        <source>“不能再添加频道：最多可以保存%1个频道。”</source>
        <translation>No more channels can be added: at most %1 channels can be stored.</translation>
    </message>
    <message>
        <source>Channel Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quit Editor</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>tovu::ui::EnigmaFolderDialog</name>
    <message>
        <source>Select folder ...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>tovu::ui::FavListEditorDialog</name>
    <message>
        <source>Fail to create new fav list. There are 21 fav lists already.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The selected fav list is a default list, unable to delete!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click [OK] to delete the selected fav list!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to add the channel. There are 300 channels in the fav list already.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The fav lists have changes that are not saved. Save them before creating a new list?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The fav lists have changes that are not saved. Save them before deleting the list?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fav List Editor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New Name:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Members only</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Create New List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Delete List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fav</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit Fav List</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>tovu::ui::FilterField</name>
    <message>
        <source>Filter</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>tovu::ui::ImportChoicesDialog</name>
    <message>
        <source>Import Choices</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The folder holds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 cable, %2 satellite, %3 terrestrial</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, %1 other</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Services:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>By delivery:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TV / radio:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 / %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bouquets:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 TV, %2 radio</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Locked services:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cable services only</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Services of the ticked bouquets first</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TV bouquet</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Services</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(no name)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TV bouquets that become favourite lists:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>tovu::ui::MainEditorDialog</name>
    <message>
        <source>&amp;Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Re&amp;do</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Edit Channel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Del Channel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Add Channel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Resort Channel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit &amp;Fav List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Receiver</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Verify uploads</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restore Backup…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stb Ip Address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File Path:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Download Channel DataBase From Stb</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File path to upload</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Upload Channel DataBase to STB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Provider Freq File:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Upload Provider Freq to STB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Channel Informations</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Load Channel Info DB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Load &amp;DreamBox Channel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Save Change to DB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Quit Editor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Replace in names…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The channel database has changes that are not saved. Save them before quitting?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Load Channel Info DB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Load DreamBox Channel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add Channel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit Channel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Del Channel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>tovu::ui::ReplaceNamesDialog</name>
    <message>
        <source>Replace</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Find:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Replace with:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 of %2 selected names change</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>tovu::ui::ResortDialog</name>
    <message>
        <source>Please select the channel want to Resort!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please Input new position want to move to!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New position vlaue must less than Channel Count!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail..</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请键入一个整数。</source>
        <translation>Please enter an integer.</translation>
    </message>
    <message>
        <source>TV List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Radio List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Data List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fav%1 List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(no channel %1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Resort Channel List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move Up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move Down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move To</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Resort %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>

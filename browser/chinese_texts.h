#pragma once
// The program's own texts, in Simplified Chinese: the table texts() hands out.

#include "browser/texts.h"

namespace velmora {

inline constexpr TextTable kChineseTexts{
    .applicationTitle = "Zantrel桌面壁纸管理软件",
    .defaultFileTitle = "    默认文件[ {} ]",
    .fileTitle = "Velmora    [ {} ]",

    .previousButton = "上一张图片",
    .nextButton = "下一张图片",
    .deleteButton = "删除当前图片",
    .wallpaperButton = "设为桌面",
    .webSiteButton = "Zantrel网站",
    .quitButton = "退出",
    .nameCaption = " 当前图片名称： ",
    .countCaption = "  目前数据库中共有图片：",
    .countDesign = "显示数据库图片数",
    .countLabel = "{}   张",
    .popupHint = "###请弹出鼠标右键管理图片数据库",
    .nameListHint = "点击选择",
    .nameListColumn = "filename",
    .pictureHint = "点击查看原始图片",

    .addFromFileItem = "从文件载入(&L )",
    .saveItem = "保存到文件(&S)",
    .deleteItem = "从数据库删除(&D)",
    .newFileItem = "新建图片数据文件(&N)",
    .openFileItem = "打开图片数据文件(&O)",
    .renameItem = "重命名此图(&R)",
    .filterMenu = "图片过滤(&P)",
    .showAllItem = "显示所有图片(&A)",
    .filterByNameItem = "按文件名过滤(&F)",
    .wallpaperItem = "设为桌面(&A)",
    .wallpaperSettingsItem = "壁纸设置(&W)",
    .copyItem = "复制到剪贴板(&C)",
    .cutItem = "剪切到剪贴板(&X)",
    .pasteItem = "从剪贴板粘贴(&V)",
    .undoItem = "撤销(&Z)",
    .undoDeleteItem = "撤销删除“{}”(&Z)",
    .undoCutItem = "撤销剪切“{}”(&Z)",
    .undoRenameItem = "撤销重命名“{}”(&Z)",
    .undoAddItem = "撤销添加“{}”(&Z)",
    .undoAddManyItem = "撤销添加 {} 张图片(&Z)",
    .trashItem = "回收站",
    .quitItem = "退出(&Q)",

    .viewerCaption = "查看原始图片",
    .viewerCaptionName = "    < {} >",
    .viewerHint = "图片大小：{} X {}     单击关闭",
    .viewerWallpaperItem = "设为桌面(&T)",
    .viewerCloseItem = "关闭(&Q)",

    .pictureNameCaption = "为此图片命名     ",
    .pictureNameLabel = "  请为此图片起一个名字    ",
    .proposedName = "图片{}",
    .renameCaption = "重命名图片",
    .renameLabel = "  请输入此图片的新名字",
    .renameText = "新名字",
    .filterCaption = "设置图片过滤条件",
    .filterLabel = "      你需要列出一些图片，它们的文件名中要包含以下文字：                               ",
    .filterText = "输入过滤文字",
    .newFileCaption = "输入新建图片数据库文件名",
    .newFileLabel = "    请输入图片数据库文件的名字：          ",
    .newFileText = "新建图片数据库文件",
    .okButton = "确定",
    .cancelButton = "取消",

    .confirmCaption = "Confirm",
    .confirmOk = "OK",
    .confirmCancel = "Cancel",
    .noPictureToDelete = "当前没有可删除的图片",
    .lastPictureNotDeleted = "数据库中至少要保留一张图片，你不能删除此图!",
    .confirmDelete = "你真的要从数据库中删除此图片吗？",
    .noPictureToCut = "当前没有可剪切的图片!",
    .lastPictureNotCut = "数据库中至少要保留一张图片，你不能剪切此图!",
    .confirmCut = "剪切的图片将在数据库中删除，确实要删除此图片吗？",
    .noPictureToCopy = "当前没有可复制的图片!",
    .noPictureToRename = "当前没有可命名的图片！",
    .noPictureToSave = "当前没有可保存的图片",
    .noPictureToView = "没有可查看的图片",
    .emptyPictureName = "请输入图片名！",
    .noBitmapOnClipboard = "剪贴板中没有二进制图片拷贝!",
    .outOfMemory = "Out of memory",
    .unknownError = "Unknown error",

    .undoRowChanged = "此图片已被其他程序改动，不能撤销!",
    .trashCaption = "回收站",
    .trashNameColumn = "名称",
    .trashDateColumn = "删除时间",
    .trashSizeColumn = "大小",
    .trashRestoreButton = "恢复",
    .trashDeleteButton = "永久删除",
    .trashEmptyButton = "清空回收站",
    .trashCloseButton = "关闭",
    .trashSpace = "回收站占用 {}",
    .confirmDeleteForever = "永久删除的图片不能再恢复，确实要删除此图片吗？",
    .confirmEmptyTrash = "清空回收站将永久删除其中的 {} 张图片，确实要清空吗？",
    .duplicateNotAdded = "数据库中已有此图片（“{}”）",

    .wallpaperSettingsCaption = "壁纸设置",
    .fitLabel = "图片在屏幕上：",
    .fitDesktop = "桌面默认",
    .fitModes = {"填充", "适应", "拉伸", "居中", "平铺", "跨屏"},
    .perMonitorBox = "每个显示器各用一张图片",
    .rotateBox = "定时更换壁纸，间隔：",
    .intervalHint = "（如 30m、2h、1h30m）",
    .orderLabel = "更换顺序：",
    .orderInTurn = "依次",
    .orderShuffle = "随机（每张都出现后才重复）",
    .pausedBox = "暂停更换",
    .lockScreenBox = "锁屏也使用此壁纸",
    .leftOutBox = "当前图片不参与轮换",
    .badInterval = "更换间隔“{}”无效，请输入如 30m、2h 或 1h30m 的时间（最长一年）!",
    .rotationNotChanged = "定时更换未能设置：{}",

    .addingProgress = "正在添加图片 {} / {}",
    .notAddedHeading = "以下 {} 个文件未能添加：\n",
    .notAddedMore = "\n……（另有 {} 个）",

    .openPictureFilter =
        "JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp|"
        "PNG Image File (*.png)|*.png|GIF Image File (*.gif)|*.gif|WebP Image File (*.webp)|*.webp|"
        "TIFF Image File (*.tif;*.tiff)|*.tif;*.tiff|"
        "All Support Files(*.jpg;*.jpeg;*.bmp;*.png;*.gif;*.webp;*.tif;*.tiff)|"
        "*.jpg;*.jpeg;*.bmp;*.png;*.gif;*.webp;*.tif;*.tiff",
    .savePictureFilter =
        "All (*.jpg;*.jpeg)|*.jpg;*.jpeg|JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg",
    .openCollectionFilter = "Velmora 文件(*.vlm)|*.vlm",

    .showDetailsButton = "Show Details...",
};

}  // namespace velmora

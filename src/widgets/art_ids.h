// The ids of the client's pictures: the code names a picture by id, the artwork table finds it.
#pragma once

#include <array>

namespace quill::widgets {

namespace ArtId {
enum : int {
    AppIcon = 128,

    // Main window surroundings.
    LeftPanelTile = 130,    // tiled down the left edge
    ToolStripTile = 146,    // tiled down the 48-pixel strip on the right
    WorkflowPanel = 149,    // 48 x 153, behind the workflow buttons
    NewCommentBadge = 150,  // 48 x 46, the count is written over it

    // Tool bar strips: four 31 x 28 cells (normal, hover, pressed, selected).
    TextTool = 156,
    AttachmentTool = 157,
    FitToPage = 158,
    DropDownTool = 159,  // the drawing and measuring buttons; the sub-tool picture goes over it
    HandTool = 160,
    HighlightTool = 161,
    ImageTool = 162,
    NoteTool = 163,
    Printer = 164,
    Rotation = 165,
    ZoomIn = 166,
    ZoomOut = 167,
    More = 168,
    StrikeoutTool = 198,
    AllComments = 262,
    FindText = 277,

    // Workflow strips: four 35 x 34 cells.
    CheckNewComments = 169,
    FinishReview = 170,
    Publish = 171,
    PublishToOriginal = 288,

    // Sub-tool pictures, 31 x 28 and transparent, drawn over the drop-down button.
    AreaSubTool = 183,
    ArrowSubTool = 184,
    EllipseSubTool = 185,
    CloudySubTool = 186,
    DistanceSubTool = 187,
    LineSubTool = 188,
    PencilSubTool = 189,
    PerimeterSubTool = 190,
    PolylineSubTool = 191,
    PolygonSubTool = 192,
    RectangleSubTool = 193,

    // Second overlays, 31 x 26, drawn at (0, 2): the page's quarter turns.
    OverlayTurn0 = 224,
    OverlayTurn1 = 225,
    OverlayTurn2 = 226,
    OverlayTurn3 = 282,

    // Icons of the more menu, 16 x 16 on its dark blue.
    FindTextMenuIcon = 235,
    FitToPageMenuIcon = 236,
    AllCommentsMenuIcon = 237,
    PrinterMenuIcon = 239,
    RotationMenuIcon = 240,
    ZoomInMenuIcon = 241,
    ZoomOutMenuIcon = 242,

    // Pictures of our own numbering (from 400), for the pieces that have no id of their own.
    SortButton = 400,    // four 25 x 20 cells
    SpinnerWheel = 401,  // twenty 25 x 25 frames
    BlueCard = 410,      // 203 x 82 card backgrounds by feedback status 0, 1, 2
    GreenCard = 411,
    GreyCard = 412,
    BlueCardSelected = 413,
    GreenCardSelected = 414,
    GreyCardSelected = 415,
    PinIcon = 420,        // 17 x 17, white
    ReplyIcon = 421,      // 17 x 17, white
    LinkIcon = 422,       // 16 x 16, white
    TypeIconFirst = 430,  // 16 x 16, white, one per comment type code 0 to 16
    TypeIconLast = 446,
    AgreeMenuIcon = 450,                // "Apply" and "Agree"
    DisagreeMenuIcon = 451,             // "Do Not Apply" and "Disagree"
    ReviewDialogBackground = 460,       // 314 x 196, pure red is cut away
    ParticipantFinishBackground = 461,  // 314 x 275
    InitiatorFinishBackground = 462,    // 314 x 310
    FinishDialogIcon = 463,             // 24 x 24
    CloseButton = 470,                  // four 47 x 20 cells
    OkButton = 471,                     // four 66 x 29 cells
};
}  // namespace ArtId

// The sub-tool pictures by drawing sub-tool 0 to 7 and measuring sub-tool 0 to 2, and the second
// overlays by picture index 0 to 3.
inline constexpr std::array<int, 8> kDrawingSubToolArt = {
    ArtId::CloudySubTool,  ArtId::ArrowSubTool,   ArtId::LineSubTool,     ArtId::RectangleSubTool,
    ArtId::EllipseSubTool, ArtId::PolygonSubTool, ArtId::PolylineSubTool, ArtId::PencilSubTool};
inline constexpr std::array<int, 3> kMeasuringSubToolArt = {
    ArtId::DistanceSubTool, ArtId::PerimeterSubTool, ArtId::AreaSubTool};
inline constexpr std::array<int, 4> kSecondOverlayArt = {ArtId::OverlayTurn0, ArtId::OverlayTurn1,
                                                         ArtId::OverlayTurn2, ArtId::OverlayTurn3};

}  // namespace quill::widgets

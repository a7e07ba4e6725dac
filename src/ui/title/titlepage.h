// The title page of the window: the programmer's name, a photograph of the repeater, the diagram
// of the programming chain and the web address.
#pragma once

#include <QImage>
#include <QString>

class QWidget;

namespace zk::ui {

// The pictures as the executable carries them (Qt resources of this library).
inline constexpr const char* kRepeaterPhoto = ":/assets/repeater.jpg";
inline constexpr const char* kConnectionDiagram = ":/assets/diagram.svg";

inline constexpr const char* kTitleCaption = " Программатор  эхо - репитера  ZK-77q3 ";
inline constexpr const char* kWebAddress = "www.zk77q3.example";

// Fills `page` (empty, without a layout) with the group `GroupBox3`, which fills the page and
// holds, top to bottom and centred: `Label3D1` (the title), `Panel1` (265 x 241) with the
// photograph `Image1` stretched to 259 x 235, `Panel2` (825 x 314) with the diagram `Image2` at
// its natural 822 x 313, and `Label3D2` (the web address). A photograph that cannot be read or
// decoded leaves `Panel1` blank; a diagram that cannot be read leaves `Panel2` blank. Other
// pictures than the built-in ones can be given, for tests.
void FillTitlePage(QWidget* page, const QString& photo = kRepeaterPhoto,
                   const QString& diagram = kConnectionDiagram);

// Reads a JPEG file (a resource path or a file name) and decodes it with libjpeg. A null image
// when the file cannot be read or its contents cannot be decoded completely.
QImage LoadJpeg(const QString& path);

}  // namespace zk::ui

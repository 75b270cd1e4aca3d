#pragma once

#include <QTableWidget>
#include <vector>

namespace tornavo {

class ChannelList;

// The dialogs' list " Canales en ese transpondedor : ": the channel rows given, all 11 cells
// with the channel grid's headings and the rows' colours. Its columns share its width as the
// channel grid's do.
class TransponderChannelsList : public QTableWidget {
  Q_OBJECT

 public:
  explicit TransponderChannelsList(QWidget* parent);
  // blank_when_empty shows one blank row for a transponder without channels.
  void Fill(const ChannelList& list, const std::vector<int>& rows, bool blank_when_empty);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void SizeColumns();
};

}  // namespace tornavo

#ifndef NEURALNETS_WEIGHTMATRIX_H
#define NEURALNETS_WEIGHTMATRIX_H

#include <cstddef>
#include <vector>

// Helpers for the row-major storage of the weight blocks: one contiguous
// array of rows x cols cells, row t (to-neuron t) starting at element
// t * cols, plus an index of row starts. Every size is computed in size_t.
namespace WeightMatrix {

template <class T>
void IndexRows(std::vector<T*>& index, std::vector<T>& cells, std::size_t rows, std::size_t cols) {
    index.assign(rows, nullptr);
    for (std::size_t t = 0; t < rows; ++t) index[t] = cells.data() + t * cols;
}

// Columns c >= node move one place left; column node is dropped.
template <class T>
std::vector<T> WithoutColumn(const std::vector<T>& cells, std::size_t rows, std::size_t cols,
                             std::size_t node) {
    std::vector<T> fresh(rows * (cols - 1));
    for (std::size_t t = 0; t < rows; ++t) {
        for (std::size_t f = 0; f + 1 < cols; ++f) {
            fresh[t * (cols - 1) + f] = cells[t * cols + (f < node ? f : f + 1)];
        }
    }
    return fresh;
}

template <class T>
std::vector<T> WithoutRow(const std::vector<T>& cells, std::size_t rows, std::size_t cols,
                          std::size_t node) {
    std::vector<T> fresh((rows - 1) * cols);
    for (std::size_t t = 0; t + 1 < rows; ++t) {
        std::size_t source = t < node ? t : t + 1;
        for (std::size_t f = 0; f < cols; ++f) fresh[t * cols + f] = cells[source * cols + f];
    }
    return fresh;
}

// Columns c >= node move one place right; the new column node holds fill.
template <class T>
std::vector<T> WithColumn(const std::vector<T>& cells, std::size_t rows, std::size_t cols,
                          std::size_t node, T fill) {
    std::vector<T> fresh(rows * (cols + 1), fill);
    for (std::size_t t = 0; t < rows; ++t) {
        for (std::size_t f = 0; f < cols; ++f) {
            fresh[t * (cols + 1) + (f < node ? f : f + 1)] = cells[t * cols + f];
        }
    }
    return fresh;
}

template <class T>
std::vector<T> WithRow(const std::vector<T>& cells, std::size_t rows, std::size_t cols,
                       std::size_t node, T fill) {
    std::vector<T> fresh((rows + 1) * cols, fill);
    for (std::size_t t = 0; t < rows; ++t) {
        std::size_t target = t < node ? t : t + 1;
        for (std::size_t f = 0; f < cols; ++f) fresh[target * cols + f] = cells[t * cols + f];
    }
    return fresh;
}

}  // namespace WeightMatrix

#endif

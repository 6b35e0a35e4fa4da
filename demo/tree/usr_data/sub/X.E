companion E of X

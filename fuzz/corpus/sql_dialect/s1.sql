delete * from ar
